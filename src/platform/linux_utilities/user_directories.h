// The user's home and XDG base directories, read from the environment as the XDG rules say
// (relative paths are ignored).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace UserDirectories {

// $HOME, else the home directory of the user's password entry.
std::string home();
// $XDG_CONFIG_HOME, else ~/.config.
std::string configHome();
// $XDG_DATA_HOME, else ~/.local/share.
std::string dataHome();
// $XDG_DATA_DIRS split at colons (relative entries dropped), else /usr/local/share and /usr/share.
std::vector<std::string> dataDirectories();
// $XDG_CACHE_HOME, else ~/.cache.
std::string cacheHome();
// $XDG_RUNTIME_DIR; none when unset.
std::optional<std::string> runtimeDirectory();

}  // namespace UserDirectories
