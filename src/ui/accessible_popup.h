// How the tray popup reads to assistive technology. Qt leaves popups out of the application's
// children and shows a menu's embedded widgets as nameless items with nothing inside, so a screen
// reader walking the application would never reach the popup's switch, slider or presets, nor the
// status item's name. Here the application lists the shown popup and the docked item, and each row
// of controls is a named group holding them.
#pragma once

namespace AccessiblePopup {

// Installs the descriptions; before anything asks for the application's (once per process).
void install();

}  // namespace AccessiblePopup
