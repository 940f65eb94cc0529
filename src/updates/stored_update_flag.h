// The automatic-check flag kept in the application's preference domain, so the updater, the
// windows and an uninstall all see the same stored choice.
#pragma once

#include "platform/preference_domains.h"
#include "updates/updater.h"

class StoredUpdateFlag : public Updater {
 public:
  explicit StoredUpdateFlag(PreferenceDomains& domains) : domains_(domains) {}
  // On until the user turns it off.
  bool automaticallyChecksForUpdates() override;
  void setAutomaticallyChecksForUpdates(bool on) override;

 private:
  PreferenceDomains& domains_;
};
