// Application bundles on Linux: a "<Name>.app" folder with Contents/Info.plist (an XML property
// list) and the executable in Contents/MacOS, as the build lays it out.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "formats/failure.h"
#include "platform/interfaces/bundles.h"
#include "platform/interfaces/instance_guard.h"
#include "platform/interfaces/process_info.h"
#include "platform/linux_utilities/dbus_buses.h"

class LinuxBundles : public Bundles {
 public:
  // The main bundle is the one holding the running executable (/proc/self/exe, else the first
  // argument); `executablePath` names another executable instead. A started application announces
  // itself on `buses` or, with or without a bus, through `startedGuard`.
  explicit LinuxBundles(ProcessInfo& process, std::string executablePath = {}, DBusBuses buses = {},
                        InstanceGuard* startedGuard = nullptr);

  std::optional<std::string> mainBundleIdentifier() override;
  std::optional<std::string> mainBundlePath() override;
  std::optional<PlistDictionary> mainBundleInfo() override;
  std::optional<PlistDictionary> bundleInfo(const std::string& path) override;
  // Starts the bundle's executable without arguments in a session of its own, in "/" (so it pins no
  // folder the user happened to be in), detached from the caller's terminal, standard streams and
  // other open files. The start is complete once the application owns its identifier's name on the
  // session bus or holds the instance guard ready, has ended already, or `timeoutSeconds` have
  // passed.
  Failure openApplication(const std::string& path, double timeoutSeconds) override;
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
  InstanceGuard* startedGuard_;
  bool resolved_ = false;
  std::optional<MainBundle> main_;
};
