#include "platform/linux_utilities/locked_json_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "platform/linux_utilities/atomic_file.h"
#include "platform/linux_utilities/private_folder.h"

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
// What these files hold is a few kilobytes; one far larger is not the product's and would only
// cost time and memory to read, so it counts as broken.
constexpr std::size_t kMaxBytes = 1 << 20;
// A writer waits this long for another to finish, then reports its write as failed rather than
// hang (a process that holds the lock for longer is stuck).
constexpr auto kLockWait = std::chrono::seconds(3);
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

// Takes the exclusive lock on an open file, waiting at most until `deadline`. flock has no timeout
// of its own, and polling would let a busy writer take the lock again and again ahead of one that
// waits, so a helper thread makes the blocking call on a duplicate of the descriptor (the lock
// belongs to the open file both share). A helper that gets the lock after the caller gave up and
// closed its descriptor closes the last one, which releases the lock at once.
bool lockBefore(int fd, std::chrono::steady_clock::time_point deadline) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno != EWOULDBLOCK) return false;
  int waiting = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (waiting < 0) return false;
  auto outcome = std::make_shared<std::promise<bool>>();
  auto locked = outcome->get_future();
  std::thread([waiting, outcome] {
    int result;
    do result = ::flock(waiting, LOCK_EX);
    while (result != 0 && errno == EINTR);
    ::close(waiting);
    outcome->set_value(result == 0);
  }).detach();
  if (locked.wait_until(deadline) == std::future_status::ready) return locked.get();
  errno = EWOULDBLOCK;
  return false;
}

// Holds the exclusive lock on the lock file. Whoever removes the data file also removes the lock
// file while holding the lock; a locker that then finds its file gone from the path retries on
// the new one, so two processes never believe they both hold the lock.
class ExclusiveLock {
 public:
  ExclusiveLock(const std::string& path, int noFollow) : path_(path) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (int attempt = 0; attempt < 1000; ++attempt) {
      fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | noFollow, kFileMode);
      if (fd_ < 0) return;
      if (!lockBefore(fd_, deadline)) {
        timedOut_ = errno == EWOULDBLOCK;
        ::close(fd_);
        fd_ = -1;
        return;
      }
      struct stat held {
      }, current{};
      if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &current) == 0 && held.st_dev == current.st_dev &&
          held.st_ino == current.st_ino) {
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
  bool timedOut() const { return timedOut_; }
  // Removes the lock file; the lock stays held until destruction.
  void removeFile() { ::unlink(path_.c_str()); }

 private:
  std::string path_;
  int fd_ = -1;
  bool timedOut_ = false;
};

// Reads the file, but stops one byte past the most a valid file may hold.
bool readAll(int fd, std::string& bytes) {
  char buffer[8192];
  while (bytes.size() <= kMaxBytes) {
    ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, kMaxBytes + 1 - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

LockedJsonFile::LockedJsonFile(std::string path, mode_t directoryMode, AtomicFile::Flush flush, Folder folder)
    : path_(std::move(path)),
      lockPath_(path_ + ".lock"),
      directoryMode_(directoryMode),
      flush_(flush),
      noFollow_(folder == Folder::privateFolder ? O_NOFOLLOW : 0) {}

bool LockedJsonFile::exists() const {
  struct stat info {};
  if (noFollow_) return ::lstat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  return ::stat(path_.c_str(), &info) == 0;
}

LockedJsonFile::Loaded LockedJsonFile::load(const std::string& file) const {
  Loaded loaded;
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | noFollow_);
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
  if (loaded.bytes.size() > kMaxBytes) {
    loaded.parse = Parse::corrupt;
    return loaded;
  }
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
  lastParse_ = loaded.parse;
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
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | noFollow_);
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
  remember(load(path_));
  if (!cached_) return nullptr;
  return cached_;
}

std::optional<std::string> LockedJsonFile::problem() {
  read();
  switch (lastParse_) {
    case Parse::corrupt: return path_ + " is not a settings file Halomark can read";
    case Parse::unreadable: return path_ + " cannot be read";
    case Parse::missing:
    case Parse::object: break;
  }
  return std::nullopt;
}

Failure LockedJsonFile::keepCorruptAside(const std::string& file) const {
  for (int n = 0; n < 1000; ++n) {
    std::string aside = file + ".corrupt" + (n == 0 ? "" : "." + std::to_string(n));
    struct stat info {};
    if (::lstat(aside.c_str(), &info) == 0) continue;
    if (::rename(file.c_str(), aside.c_str()) != 0) {
      return AtomicFile::errorText("couldn't move aside the unreadable file", file);
    }
    AtomicFile::syncDirectory(AtomicFile::directoryOf(file));
    return std::nullopt;
  }
  return "too many unreadable copies of " + file + " are kept aside";
}

Failure LockedJsonFile::store(const std::optional<Object>& contents, const std::string& file) {
  // Removing takes away the link the user sees, not the file a link may name.
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
  // Written, it would read back as broken.
  if (written.bytes.size() > kMaxBytes)
    return "couldn't write " + path_ + ": it would grow beyond a megabyte";
  if (auto error = AtomicFile::replace(file, written.bytes, kFileMode, flush_)) return error;
  remember(written);
  seen_.reset();
  return std::nullopt;
}

Failure LockedJsonFile::update(const Change& change) {
  std::string directory = AtomicFile::directoryOf(path_);
  struct stat folder {};
  if (::stat(directory.c_str(), &folder) != 0) {
    // A folder that is there but cannot be reached is a failure, not an empty domain.
    if (errno != ENOENT) return AtomicFile::errorText("couldn't open the folder", directory);
    // Nothing exists yet: only a change that creates the file needs the folder.
    std::optional<Object> nothing;
    if (!change(nothing) || !nothing) return std::nullopt;
    if (auto error = AtomicFile::makeDirectories(directory, directoryMode_)) return error;
  }
  if (noFollow_) {
    if (auto problem = PrivateFolder::problemWith(directory)) return "refusing to write there: " + *problem;
  }
  ExclusiveLock lock(lockPath_, noFollow_);
  if (lock.timedOut()) return "another process kept " + lockPath_ + " locked for too long";
  if (!lock.held() && errno == ELOOP) return "refusing to follow the symbolic link at " + lockPath_;
  if (!lock.held()) return AtomicFile::errorText("couldn't lock", lockPath_);

  // A file kept elsewhere behind a symbolic link (as dotfile managers do) is written where it is;
  // in a private folder such a link was planted, and is left alone.
  struct stat own {};
  if (noFollow_ && ::lstat(path_.c_str(), &own) == 0 && S_ISLNK(own.st_mode))
    return "refusing to follow the symbolic link at " + path_;
  auto target = noFollow_ ? std::optional<std::string>(path_) : AtomicFile::linkTarget(path_);
  if (!target) return "couldn't read " + path_ + ": too many levels of symbolic links";
  Loaded current = load(*target);
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
    if (auto error = keepCorruptAside(*target)) return error;
  }
  auto error = store(contents, *target);
  if (!contents && !error) lock.removeFile();
  return error;
}
