// Application bundles: the running program's own bundle, reading a bundle's information, starting one.
#pragma once

#include <optional>
#include <string>

#include "formats/failure.h"
#include "formats/plist_value.h"

class Bundles {
 public:
  virtual ~Bundles() = default;
  virtual std::optional<std::string> mainBundleIdentifier() = 0;
  virtual std::optional<std::string> mainBundlePath() = 0;
  virtual std::optional<PlistDictionary> mainBundleInfo() = 0;
  // The information dictionary of the bundle at `path`, or none when no bundle can be opened there.
  virtual std::optional<PlistDictionary> bundleInfo(const std::string& path) = 0;
  // Starts the application bundle at `path` without bringing it to the front. Waits at most
  // `timeoutSeconds` for the start to complete; returns the error text when it failed.
  virtual Failure openApplication(const std::string& path, double timeoutSeconds) = 0;
  // The system package that installed the bundle at `path`, whose package manager also removes it;
  // none for a copy of the user's own.
  virtual std::optional<std::string> installingPackage(const std::string& path) = 0;
};
