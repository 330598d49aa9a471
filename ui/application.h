#pragma once

namespace ui {

// Gives the program the dialog font that the windows' layout was drawn for,
// and the toolkit's own texts (the standard buttons' captions) in the
// system's language, as a desktop gives its dialogs. Call it once, after the
// application is made and before the first window.
void SetUpApplication();

}  // namespace ui
