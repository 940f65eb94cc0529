// The texts of the settings window's uninstall: the confirmation, and the report of what was left.
#pragma once

#include <optional>
#include <string>

#include "maintenance/uninstall.h"

namespace UninstallPrompt {

inline constexpr const char* kTitle = "Uninstall Halomark?";
inline constexpr const char* kMessage =
    "The logo goes back to Apple's normal behavior. Halomark's settings, its login item and any halomark "
    "command links are removed, and Halomark is moved to the Trash.";
inline constexpr const char* kConfirm = "Uninstall";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kLeftoversTitle = "Halomark was uninstalled, with some leftovers";

// The second alert's text: each error, then the links that could not be deleted with the command
// that deletes them, separated by an empty line. None when nothing was left.
std::optional<std::string> leftovers(const Maintenance::UninstallResult& result);

}  // namespace UninstallPrompt
