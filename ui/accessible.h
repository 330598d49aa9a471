#pragma once

// This header decides what assistive technology reads of the widgets.
namespace ui {

// Installs the interfaces that make a screen reader read each window as a
// window, a LineWidget as a separator, a line edit's text whole, and an
// option's frame once on entering the group. Call it once, after the
// application is made and before the first window.
void InstallAccessibleInterfaces();

}  // namespace ui
