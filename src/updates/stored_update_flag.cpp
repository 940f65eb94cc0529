#include "updates/stored_update_flag.h"

#include "prefs/app_identifier.h"

namespace {
constexpr const char* kKey = "automaticallyChecksForUpdates";
}

bool StoredUpdateFlag::automaticallyChecksForUpdates() {
  auto stored = domains_.value(kAppIdentifier, kKey);
  return !stored || !stored->is_boolean() || stored->get<bool>();
}

void StoredUpdateFlag::setAutomaticallyChecksForUpdates(bool on) {
  domains_.setValue(kAppIdentifier, kKey, on);
  domains_.synchronize();
}
