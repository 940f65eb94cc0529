#include "platform/linux/locked_json_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

#include "platform/linux/atomic_file.h"

namespace {

constexpr mode_t kFileMode = 0600;
// A file last changed longer ago than this (many ticks of the clock that stamps files) cannot be
// changed again without its modification time changing.
constexpr long long kSettledNanoseconds = 100'000'000;

bool settled(const struct stat& info) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  long long age = (static_cast<long long>(now.tv_sec) - info.st_mtim.tv_sec) * 1'000'000'000LL +
                  (now.tv_nsec - info.st_mtim.tv_nsec);
  return age > kSettledNanoseconds;
}
// Nothing this product stores is nested anywhere near this deep; a file that is would make copying
// and writing it recurse until the stack runs out, so it counts as broken.
constexpr int kMaxDepth = 512;
struct TooDeep {};

nlohmann::json parseObject(const std::string& bytes) {
  try {
    return nlohmann::json::parse(
        bytes,
        [](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
          if (depth > kMaxDepth) throw TooDeep{};
          return true;
        },
        false);
  } catch (const TooDeep&) {
    return nlohmann::json(nlohmann::json::value_t::discarded);
  }
}

// Holds the exclusive lock on the lock file. Whoever removes the data file also removes the lock
// file while holding the lock; a locker that then finds its file gone from the path retries on
// the new one, so two processes never believe they both hold the lock.
class ExclusiveLock {
 public:
  explicit ExclusiveLock(const std::string& path) : path_(path) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
      fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kFileMode);
      if (fd_ < 0) return;
      int locked;
      do locked = ::flock(fd_, LOCK_EX);
      while (locked != 0 && errno == EINTR);
      struct stat held {
      }, current{};
      if (locked == 0 && ::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &current) == 0 &&
          held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
        return;
      }
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~ExclusiveLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  bool held() const { return fd_ >= 0; }
  // Removes the lock file; the lock stays held until destruction.
  void removeFile() { ::unlink(path_.c_str()); }

 private:
  std::string path_;
  int fd_ = -1;
};

bool readAll(int fd, std::string& bytes) {
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

LockedJsonFile::LockedJsonFile(std::string path, mode_t directoryMode, AtomicFile::Flush flush)
    : path_(std::move(path)), lockPath_(path_ + ".lock"), directoryMode_(directoryMode), flush_(flush) {}

bool LockedJsonFile::exists() const {
  struct stat info {};
  return ::stat(path_.c_str(), &info) == 0;
}

LockedJsonFile::Loaded LockedJsonFile::load() const {
  Loaded loaded;
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    loaded.parse = errno == ENOENT ? Parse::missing : Parse::unreadable;
    return loaded;
  }
  bool ok = readAll(fd, loaded.bytes);
  ::close(fd);
  if (!ok) {
    loaded.parse = Parse::unreadable;
    return loaded;
  }
  return parsed(std::move(loaded.bytes));
}

LockedJsonFile::Loaded LockedJsonFile::parsed(std::string bytes) {
  Loaded loaded;
  loaded.bytes = std::move(bytes);
  auto json = parseObject(loaded.bytes);
  if (json.is_discarded() || !json.is_object()) {
    loaded.parse = Parse::corrupt;
    return loaded;
  }
  loaded.parse = Parse::object;
  loaded.object = std::move(json.get_ref<Object&>());
  return loaded;
}

void LockedJsonFile::remember(const Loaded& loaded) {
  if (loaded.parse == Parse::missing) {
    cachedBytes_.reset();
    cached_.reset();
    return;
  }
  cachedBytes_ = loaded.bytes;
  cached_ = std::make_shared<const Object>(loaded.parse == Parse::object ? loaded.object : Object{});
}

std::shared_ptr<const LockedJsonFile::Object> LockedJsonFile::read() {
  // Writers replace the file by renaming a new one into place, so a file that still looks the same
  // holds the same bytes: a command that reads many keys opens it once. A file changed within the
  // last moments is read anyway: an edit in place in the same clock tick keeps size and time.
  struct stat info {};
  std::optional<Identity> identity;
  if (::stat(path_.c_str(), &info) == 0) {
    identity = Identity{info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    if (cached_ && seen_ == identity) return cached_;
    if (!settled(info)) identity.reset();
  }
  // Taken before the bytes are read, so the bytes are never older than what is remembered.
  seen_ = identity;
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    remember(Loaded{});
    return nullptr;
  }
  if (fd >= 0) {
    std::string bytes;
    bool ok = readAll(fd, bytes);
    ::close(fd);
    if (ok && cached_ && cachedBytes_ == bytes) return cached_;
    if (ok) {
      remember(parsed(std::move(bytes)));
      return cached_;
    }
  }
  remember(load());
  if (!cached_) return nullptr;
  return cached_;
}

std::optional<std::string> LockedJsonFile::keepCorruptAside() const {
  for (int n = 0; n < 1000; ++n) {
    std::string aside = path_ + ".corrupt" + (n == 0 ? "" : "." + std::to_string(n));
    struct stat info {};
    if (::lstat(aside.c_str(), &info) == 0) continue;
    if (::rename(path_.c_str(), aside.c_str()) != 0) {
      return AtomicFile::errorText("couldn't move aside the unreadable file", path_);
    }
    AtomicFile::syncDirectory(AtomicFile::directoryOf(path_));
    return std::nullopt;
  }
  return "too many unreadable copies of " + path_ + " are kept aside";
}

std::optional<std::string> LockedJsonFile::store(const std::optional<Object>& contents) {
  if (!contents) {
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
      return AtomicFile::errorText("couldn't remove", path_);
    }
    if (flush_ == AtomicFile::Flush::toDisk) AtomicFile::syncDirectory(AtomicFile::directoryOf(path_));
    remember(Loaded{});
    return std::nullopt;
  }
  Loaded written{
      Parse::object,
      nlohmann::json(*contents).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n",
      *contents};
  if (auto error = AtomicFile::replace(path_, written.bytes, kFileMode, flush_)) return error;
  remember(written);
  seen_.reset();
  return std::nullopt;
}

std::optional<std::string> LockedJsonFile::update(const Change& change) {
  std::string directory = AtomicFile::directoryOf(path_);
  if (!std::filesystem::is_directory(directory)) {
    // Nothing exists yet: only a change that creates the file needs the folder.
    std::optional<Object> nothing;
    if (!change(nothing) || !nothing) return std::nullopt;
    if (auto error = AtomicFile::makeDirectories(directory, directoryMode_)) return error;
  }
  ExclusiveLock lock(lockPath_);
  if (!lock.held()) return AtomicFile::errorText("couldn't lock", lockPath_);

  Loaded current = load();
  if (current.parse == Parse::unreadable) return "couldn't read " + path_;
  std::optional<Object> contents;
  if (current.parse == Parse::object) contents = std::move(current.object);
  if (current.parse == Parse::corrupt) contents = Object{};
  if (!change(contents)) {
    // Where there is no file and the change makes none, the lock file goes too: removing a domain
    // that never existed must not leave anything in the user's folder.
    if (!contents) lock.removeFile();
    return std::nullopt;
  }

  if (current.parse == Parse::corrupt && contents) {
    if (auto error = keepCorruptAside()) return error;
  }
  auto error = store(contents);
  if (!contents && !error) lock.removeFile();
  return error;
}
