// Application bundles on Linux: a "<Name>.app" folder with Contents/Info.plist (an XML property
// list) and the executable in Contents/MacOS, as the build lays it out.
#pragma once

#include <optional>
#include <string>

#include "platform/bundles.h"
#include "platform/process_info.h"

class LinuxBundles : public Bundles {
 public:
  // The main bundle is the one holding the running executable (/proc/self/exe, else the first
  // argument); `executablePath` names another executable instead.
  explicit LinuxBundles(ProcessInfo& process, std::string executablePath = {});

  std::optional<std::string> mainBundleIdentifier() override;
  std::optional<std::string> mainBundlePath() override;
  std::optional<PlistDictionary> mainBundleInfo() override;
  std::optional<PlistDictionary> bundleInfo(const std::string& path) override;
  // Starts the bundle's executable without arguments in a session of its own, detached from the
  // caller's terminal and standard streams. Returns once it has been started (or failed).
  std::optional<std::string> openApplication(const std::string& path, double timeoutSeconds) override;

 private:
  struct MainBundle {
    std::string path;
    PlistDictionary info;
  };
  const std::optional<MainBundle>& mainBundle();
  std::string executablePath();

  ProcessInfo& process_;
  std::string executablePath_;
  bool resolved_ = false;
  std::optional<MainBundle> main_;
};
