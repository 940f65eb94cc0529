#include "windows/login_item.h"

#include "maintenance/bundle.h"

bool changeLoginItem(Platform& platform, bool on) {
  if (!on) return succeeded(platform.loginItems.disable());
  // Without a bundle there is no executable to start at login.
  auto bundle = Maintenance::appBundleURL(platform);
  return bundle && succeeded(platform.loginItems.enable(Maintenance::executablePath(*bundle)));
}
