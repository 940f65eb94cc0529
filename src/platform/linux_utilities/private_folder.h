// Halomark's folder for the session's state (the instance lock, the emulated device): a real folder
// of the user's own that no one else may enter. Where the runtime directory is unset or shared,
// another user could otherwise plant a folder or a link there and have Halomark write through it.
#pragma once

#include <optional>
#include <string>

namespace PrivateFolder {

// An open folder, or why there is none.
struct Opened {
  int fd = -1;  // owned by the caller
  std::string problem;
};

// Why the folder at `path` is not one to keep private state in (a link, not a folder, another
// user's, open to others); none when it is fine or does not exist yet. A folder of the user's own
// that others may only read is closed to them (mode 0700) and counts as fine.
std::optional<std::string> problemWith(const std::string& path);

// Opens the folder at `path` without following a link in its place, creating it (mode 0700, with
// its parents) when `create` is set and it is missing, and checks it as `problemWith` does.
// Files opened relative to the descriptor stay in the folder that was checked.
Opened open(const std::string& path, bool create);

// "$XDG_RUNTIME_DIR/halomark" when that folder is usable (missing counts as usable: it is created
// private when first needed), else "halomark" in the user's cache directory. A refused folder is
// reported on standard error once per process.
std::string halomarkFolder();

}  // namespace PrivateFolder
