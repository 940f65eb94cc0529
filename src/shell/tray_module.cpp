#include "shell/tray_module.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/linux_utilities/x11_connection.h"

namespace TrayModule {

namespace {

bool waylandSocketExists() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  if (!display || !*display) return false;
  std::string path = display;
  if (path.front() != '/') {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime) return false;
    path = std::string(runtime) + "/" + path;
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

bool displayReachable() {
  if (waylandSocketExists()) return true;
  return X11Connection(X11Connection::displayFromEnvironment()).isOpen();
}

Entry load() {
  std::error_code error;
  auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return nullptr;
  auto path = executable.parent_path().parent_path() / "PlugIns" / kFileName;
  // Kept open for the life of the process.
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    std::cerr << "halomark: running without a status item: " << ::dlerror() << "\n";
    return nullptr;
  }
  return reinterpret_cast<Entry>(::dlsym(module, kEntryName));
}

}  // namespace TrayModule
