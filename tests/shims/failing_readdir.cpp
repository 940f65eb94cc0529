// Stands in for a failing driver or disk: listing a folder named in HALOMARK_FAILING_DIRS (colon
// separated) yields one entry, then readdir fails with EIO, as a directory read error does part way.
// A named folder that does not exist is listed from "/" instead, so machines without the hardware
// can run the same test. Single-threaded use only, as the listings it fails are.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdarg>
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

// The standard library lists a folder by opening it with openat, then fdopendir; a named folder's
// descriptor is remembered in between.
static int openedForListing[kMaxFailing];
static int openedCount = 0;

static int openNamed(const char* symbol, int folder, const char* path, int flags, mode_t mode) {
  auto real = reinterpret_cast<int (*)(int, const char*, int, ...)>(dlsym(RTLD_NEXT, symbol));
  if (!isNamed(path) || !(flags & O_DIRECTORY)) return real(folder, path, flags, mode);
  int fd = real(folder, path, flags, mode);
  if (fd < 0) fd = real(AT_FDCWD, "/", flags, mode);
  if (fd >= 0 && openedCount < kMaxFailing) openedForListing[openedCount++] = fd;
  return fd;
}

int openat(int folder, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = (flags & O_CREAT) ? va_arg(arguments, mode_t) : 0;
  va_end(arguments);
  return openNamed("openat", folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = (flags & O_CREAT) ? va_arg(arguments, mode_t) : 0;
  va_end(arguments);
  return openNamed("openat64", folder, path, flags, mode);
}

DIR* fdopendir(int fd) {
  auto real = reinterpret_cast<DIR* (*)(int)>(dlsym(RTLD_NEXT, "fdopendir"));
  DIR* listing = real(fd);
  for (int i = 0; listing && i < openedCount; ++i) {
    if (openedForListing[i] != fd) continue;
    remember(listing);
    openedForListing[i] = openedForListing[--openedCount];
    break;
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
