// Stands in for a failing driver or disk: listing a folder named in HALOMARK_FAILING_DIRS (colon
// separated) yields one entry, then readdir fails with EIO, as a directory read error does part way.
// A named folder that does not exist is listed from "/" instead, so machines without the hardware
// can run the same test.
#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxFailing = 64;
DIR* failing[kMaxFailing];
int delivered[kMaxFailing];

int isNamed(const char* path) {
  const char* list = getenv("HALOMARK_FAILING_DIRS");
  if (!list || !path) return 0;
  size_t length = strlen(path);
  while (length > 1 && path[length - 1] == '/') --length;
  for (const char* start = list; *start;) {
    const char* end = strchr(start, ':');
    size_t size = end ? static_cast<size_t>(end - start) : strlen(start);
    if (size == length && strncmp(start, path, size) == 0) return 1;
    if (!end) break;
    start = end + 1;
  }
  return 0;
}

void remember(DIR* listing) {
  for (int i = 0; i < kMaxFailing; ++i) {
    if (!failing[i]) {
      failing[i] = listing;
      delivered[i] = 0;
      return;
    }
  }
}

int slotOf(DIR* listing) {
  for (int i = 0; i < kMaxFailing; ++i)
    if (failing[i] == listing) return i;
  return -1;
}

}  // namespace

extern "C" {

DIR* opendir(const char* path) {
  auto real = reinterpret_cast<DIR* (*)(const char*)>(dlsym(RTLD_NEXT, "opendir"));
  if (!isNamed(path)) return real(path);
  DIR* listing = real(path);
  if (!listing) listing = real("/");
  if (listing) remember(listing);
  return listing;
}

DIR* fdopendir(int fd) {
  auto real = reinterpret_cast<DIR* (*)(int)>(dlsym(RTLD_NEXT, "fdopendir"));
  char link[64], target[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  DIR* listing = real(fd);
  if (listing && n > 0) {
    target[n] = '\0';
    if (isNamed(target)) remember(listing);
  }
  return listing;
}

using Reader = void* (*)(DIR*);

static void* next(DIR* listing, Reader real) {
  int slot = slotOf(listing);
  if (slot < 0) return real(listing);
  if (delivered[slot] > 0) {
    errno = EIO;
    return NULL;
  }
  for (;;) {
    auto* entry = static_cast<struct dirent*>(real(listing));
    if (!entry) return NULL;
    if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
    ++delivered[slot];
    return entry;
  }
}

struct dirent* readdir(DIR* listing) {
  return static_cast<struct dirent*>(next(listing, reinterpret_cast<Reader>(dlsym(RTLD_NEXT, "readdir"))));
}

struct dirent64* readdir64(DIR* listing) {
  return static_cast<struct dirent64*>(
      next(listing, reinterpret_cast<Reader>(dlsym(RTLD_NEXT, "readdir64"))));
}

int closedir(DIR* listing) {
  auto real = reinterpret_cast<int (*)(DIR*)>(dlsym(RTLD_NEXT, "closedir"));
  int slot = slotOf(listing);
  if (slot >= 0) failing[slot] = NULL;
  return real(listing);
}

}  // extern "C"
