#pragma once

namespace ui {

// Gives the program what a desktop gives its dialog windows: the dialog font
// that the windows' layout was drawn for, and the toolkit's own texts (the
// standard buttons' captions) in the system's language. Called once, after
// the application is made and before the first window.
void SetUpApplication();

}  // namespace ui
