// How a dropdown of a settings row reads to assistive technology: named by its row ("When Battery
// Is Low"), its value the choice shown ("Never"), its list as its child. Left to Qt, a dropdown on
// Linux is named by its value, so a voice command or a reader's list of controls cannot find it.
#pragma once

namespace ComboAccessible {

// Installs the description for the dropdowns that are not editable; once per process.
void install();

}  // namespace ComboAccessible
