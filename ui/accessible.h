#pragma once

// What assistive technology reads of the program's widgets.
namespace ui {

// Tells assistive technology what the toolkit cannot know of the program's
// widgets, or tells otherwise than a screen reader needs: a window made of a
// plain widget is read as a window (with its title, as the platform's windows
// are), a LineWidget as a separator; a line edit's text as one run of text
// attributes, so that its value is spoken whole; an option button without
// its frame as its label, so that the frame's caption is spoken once, on
// entering the group. Called once, after the application is made and before
// the first window.
void InstallAccessibleInterfaces();

}  // namespace ui
