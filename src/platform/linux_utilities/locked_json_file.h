// A JSON object kept in one file that several processes of the user read and change. Every change
// is made under an exclusive lock on a lock file beside it, merged into what the file holds at that
// moment and written atomically, so concurrent writers of different keys lose nothing. A writer
// waits a few seconds at most for the lock; a file that is a symbolic link stays one and its
// target is written, unless the file lives in a private folder (below). A file over a megabyte is
// not one of ours and counts as unparsable.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "formats/failure.h"
#include "platform/linux_utilities/atomic_file.h"

class LockedJsonFile {
 public:
  using Object = nlohmann::json::object_t;
  // Edits the contents in place: none means the file does not exist (or is to be removed).
  // Returns false when nothing changed, so nothing is written.
  using Change = std::function<bool(std::optional<Object>& contents)>;

  // `privateFolder`: state kept where another user might plant files (a shared runtime folder).
  // Writes then demand a folder of the user's own that others cannot enter, and links at the file
  // or its lock are refused with a message instead of followed; reads do not follow them either.
  enum class Folder { any, privateFolder };

  // `directoryMode` applies to the folder when a write has to create it. `flush` says whether a
  // write is flushed to disk before it returns (state that need not outlive a reboot skips it).
  explicit LockedJsonFile(std::string path, mode_t directoryMode = 0700,
                          AtomicFile::Flush flush = AtomicFile::Flush::toDisk, Folder folder = Folder::any);

  const std::string& path() const { return path_; }
  bool exists() const;

  // The current contents, null when the file is missing. A file that is not a JSON object reads
  // as an empty object. Opens the file only when it no longer looks the same as at the last read
  // (device, inode, size, modification time), and parses only when the bytes differ.
  std::shared_ptr<const Object> read();
  // Why the file's contents cannot be used (it is not a JSON object, or cannot be read), as of a
  // fresh read; none when they can or the file is missing.
  std::optional<std::string> problem();

  // Applies `change` to the current contents under the lock and stores the result. A file that
  // could not be parsed is kept beside it with a ".corrupt" suffix before it is replaced. While no
  // file exists, no lock file is left behind either. Returns the error text on failure.
  Failure update(const Change& change);

 private:
  enum class Parse { missing, object, corrupt, unreadable };
  struct Loaded {
    Parse parse = Parse::missing;
    std::string bytes;
    Object object;
  };

  Loaded load(const std::string& file) const;
  static Loaded parsed(std::string bytes);
  void remember(const Loaded& loaded);
  Failure keepCorruptAside(const std::string& file) const;
  // Writes `contents` to `file`, the path's link target; none removes the path itself.
  Failure store(const std::optional<Object>& contents, const std::string& file);

  std::string path_;
  std::string lockPath_;
  mode_t directoryMode_;
  AtomicFile::Flush flush_;
  // O_NOFOLLOW for a private folder's files, else 0.
  int noFollow_;
  struct Identity {
    dev_t device;
    ino_t inode;
    off_t size;
    time_t seconds;
    long nanoseconds;
    bool operator==(const Identity&) const = default;
  };
  std::optional<Identity> seen_;
  Parse lastParse_ = Parse::missing;
  std::optional<std::string> cachedBytes_;
  std::shared_ptr<const Object> cached_;
};
