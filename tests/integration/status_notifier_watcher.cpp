#include "integration/status_notifier_watcher.h"

#include <regex>

namespace {

std::vector<std::string> watcherCall(const std::string& method) {
  return {"call", "--session",
          "-d",   "org.kde.StatusNotifierWatcher",
          "-o",   "/StatusNotifierWatcher",
          "-m",   "org.freedesktop.DBus.Mock." + method};
}

}  // namespace

bool StatusNotifierWatcher::start() {
  sandbox_.spawn("/usr/bin/python3", {"-m", "dbusmock", "org.kde.StatusNotifierWatcher",
                                      "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher"});
  return Sandbox::waitUntil(
             [&] {
               return mock("AddMethod",
                           {"org.kde.StatusNotifierWatcher", "RegisterStatusNotifierItem", "s", "", ""});
             },
             10) &&
         mock("AddProperty", {"org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered", "<true>"});
}

bool StatusNotifierWatcher::mock(const std::string& method, const std::vector<std::string>& arguments) {
  auto call = watcherCall(method);
  call.insert(call.end(), arguments.begin(), arguments.end());
  return sandbox_.runProgram("/usr/bin/gdbus", call).status == 0;
}

std::string StatusNotifierWatcher::item() {
  std::string calls = sandbox_.runProgram("/usr/bin/gdbus", watcherCall("GetCalls")).out;
  std::smatch found;
  if (!std::regex_search(calls, found, std::regex("RegisterStatusNotifierItem', \\[<'([^']+)'>"))) return {};
  return found[1];
}

std::string StatusNotifierWatcher::callItem(const std::string& path, const std::string& method,
                                            const std::vector<std::string>& arguments) {
  std::vector<std::string> call{"call", "--session", "-d", item(), "-o", path, "-m", method, "--"};
  call.insert(call.end(), arguments.begin(), arguments.end());
  return sandbox_.runProgram("/usr/bin/gdbus", call).out;
}
