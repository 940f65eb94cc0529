// Running and frontmost applications by identifier, and installed applications.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RunningApplication {
  bool terminated = false;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> localizedName;
};

class Workspace {
 public:
  virtual ~Workspace() = default;
  virtual std::vector<RunningApplication> runningApplications() = 0;
  virtual std::optional<RunningApplication> frontmostApplication() = 0;
  // Whether the window the user is in now is `window` or holds it (a terminal names its window so,
  // as an X11 window id); none when the desktop does not say which window that is.
  virtual std::optional<bool> windowHasFocus(std::uint64_t window) = 0;
  // Where the installed application with this identifier lies, or none.
  virtual std::optional<std::string> applicationPath(const std::string& bundleIdentifier) = 0;
  // The name to show for the file at `path`.
  virtual std::string displayName(const std::string& path) = 0;
};
