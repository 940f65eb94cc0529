// Replacing a file's contents so that readers see either the old or the new bytes, never a mix,
// and the new bytes survive a crash once the call has returned.
#pragma once

#include <sys/types.h>
#include <optional>
#include <string>

#include "formats/failure.h"

namespace AtomicFile {

enum class Flush { toDisk, none };

// Writes `bytes` to a temporary file beside `path`, flushes it to disk, renames it over `path` and
// flushes the directory (`Flush::none` skips both flushes, for state that need not outlive a
// crash). The new file gets `mode` when given, else the default creation mode under the process's
// umask. Returns the error text on failure; `path` is then left as it was.
// The temporary file is named ".<name>.<pid>-<random>-<count>.tmp" and locked while it is written;
// such files of `path` left by writers that died (unlocked and older than a few seconds) are
// removed before each write, so interrupted writes do not pile up.
Failure replace(const std::string& path, const std::string& bytes, std::optional<mode_t> mode = std::nullopt,
                Flush flush = Flush::toDisk);

// The file that symbolic links at `path` finally name (which need not exist yet), so that
// replacing it keeps the links; `path` itself when it is no link. None for a loop or an unreadable
// link.
std::optional<std::string> linkTarget(const std::string& path);

// The folder holding `path` ("." for a bare name).
std::string directoryOf(const std::string& path);

// Flushes a directory's entries (after a rename or an unlink in it) to disk.
void syncDirectory(const std::string& directory);

// Creates `directory` and any missing parents; the last component gets `mode`. Returns the error
// text on failure.
Failure makeDirectories(const std::string& directory, mode_t mode);

// The text for the current errno, prefixed by what was being done.
std::string errorText(const std::string& action, const std::string& path);

}  // namespace AtomicFile
