// Application bundles on Linux: a "<Name>.app" folder with Contents/Info.plist (an XML property
// list) and the executable in Contents/MacOS, as the build lays it out.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "platform/bundles.h"
#include "platform/linux/dbus_buses.h"
#include "platform/process_info.h"

class LinuxBundles : public Bundles {
 public:
  // The main bundle is the one holding the running executable (/proc/self/exe, else the first
  // argument); `executablePath` names another executable instead. `buses` is where a started
  // application announces itself.
  explicit LinuxBundles(ProcessInfo& process, std::string executablePath = {}, DBusBuses buses = {});

  std::optional<std::string> mainBundleIdentifier() override;
  std::optional<std::string> mainBundlePath() override;
  std::optional<PlistDictionary> mainBundleInfo() override;
  std::optional<PlistDictionary> bundleInfo(const std::string& path) override;
  // Starts the bundle's executable without arguments in a session of its own, detached from the
  // caller's terminal and standard streams. The start is complete once the application owns its
  // identifier's name on the session bus, has ended already, or `timeoutSeconds` have passed;
  // without a session bus, once it has been started.
  std::optional<std::string> openApplication(const std::string& path, double timeoutSeconds) override;
  // Asks dpkg which package owns the bundle's folder (links resolved).
  std::optional<std::string> installingPackage(const std::string& path) override;

 private:
  struct MainBundle {
    std::string path;
    PlistDictionary info;
  };
  const std::optional<MainBundle>& mainBundle();
  std::string executablePath();
  void waitUntilAnnounced(pid_t started, const PlistDictionary& info, double timeoutSeconds);

  ProcessInfo& process_;
  std::string executablePath_;
  DBusBuses buses_;
  bool resolved_ = false;
  std::optional<MainBundle> main_;
};
