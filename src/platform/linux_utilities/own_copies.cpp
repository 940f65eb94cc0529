#include "platform/linux_utilities/own_copies.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/linux_utilities/sysfs_read.h"

namespace fs = std::filesystem;

namespace {

struct Copy {
  long pid;
  unsigned long long started;  // clock ticks after boot
};

// The start time, the 22nd field of stat; the command name before it may hold spaces and
// parentheses, so the fields are counted from the last ')'.
std::optional<unsigned long long> startTime(const fs::path& process) {
  auto stat = Sysfs::readFile(process / "stat", 4096);
  if (!stat) return std::nullopt;
  auto close = stat->rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::size_t at = close + 1;
  for (int field = 3; field <= 22; ++field) {
    at = stat->find_first_not_of(' ', at);
    if (at == std::string::npos) return std::nullopt;
    auto end = std::min(stat->find(' ', at), stat->size());
    if (field == 22) {
      unsigned long long ticks = 0;
      auto [stop, error] = std::from_chars(stat->data() + at, stat->data() + end, ticks);
      if (error != std::errc() || stop != stat->data() + end) return std::nullopt;
      return ticks;
    }
    at = end;
  }
  return std::nullopt;
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Where a copy keeps its lock and its settings. Copies of the user's that keep them elsewhere (another
// login session, a test's sandbox) guard other things, and are not this one's rivals.
const char* const kPlaceVariables[] = {"XDG_RUNTIME_DIR", "HOME"};

bool keepsItsStateHere(const fs::path& process) {
  auto environment = Sysfs::readFile(process / "environ", 1 << 20);
  if (!environment) return false;
  for (const char* name : kPlaceVariables) {
    const char* own = std::getenv(name);
    if (Sysfs::environmentValue(*environment, name) != (own ? std::optional<std::string>(own) : std::nullopt))
      return false;
  }
  return true;
}

// Copies of the executable at `self`, this process included.
std::optional<std::vector<Copy>> copies(const fs::path& procRoot) {
  struct stat own {};
  if (::stat((procRoot / "self/exe").c_str(), &own) != 0) return std::nullopt;
  auto entries = Sysfs::entries(procRoot);
  if (entries.empty()) return std::nullopt;
  std::vector<Copy> found;
  for (const auto& entry : entries) {
    long pid = 0;
    auto name = entry.filename().string();
    auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || end != name.data() + name.size()) continue;
    struct stat process {
    }, executable{};
    if (::stat(entry.c_str(), &process) != 0 || process.st_uid != ::geteuid()) continue;
    if (::stat((entry / "exe").c_str(), &executable) != 0 || !sameFile(executable, own)) continue;
    // The application runs without arguments; the tool always has some.
    auto commandLine = Sysfs::readFile(entry / "cmdline", 4096);
    if (!commandLine || std::count(commandLine->begin(), commandLine->end(), '\0') != 1) continue;
    if (!keepsItsStateHere(entry)) continue;
    auto started = startTime(entry);
    if (started) found.push_back({pid, *started});
  }
  return found;
}

}  // namespace

namespace OwnCopies {

std::optional<std::vector<long>> startedEarlier(const fs::path& procRoot) {
  auto found = copies(procRoot);
  if (!found) return std::nullopt;
  long self = ::getpid();
  auto me = std::find_if(found->begin(), found->end(), [&](const Copy& copy) { return copy.pid == self; });
  std::vector<long> earlier;
  for (const auto& copy : *found) {
    if (copy.pid == self) continue;
    if (me == found->end() || std::pair(copy.started, copy.pid) < std::pair(me->started, me->pid))
      earlier.push_back(copy.pid);
  }
  return earlier;
}

std::optional<std::vector<long>> all(const fs::path& procRoot) {
  auto found = copies(procRoot);
  if (!found) return std::nullopt;
  std::vector<long> others;
  for (const auto& copy : *found)
    if (copy.pid != ::getpid()) others.push_back(copy.pid);
  return others;
}

}  // namespace OwnCopies
