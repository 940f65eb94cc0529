// Preference domains as one JSON file per domain in a folder of the user's configuration
// directory, shared safely by every process of the user.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/interfaces/preference_domains.h"
#include "platform/linux_utilities/locked_json_file.h"

class LinuxPreferenceDomains : public PreferenceDomains {
 public:
  // Domain `name` lives in `<directory>/<name>.json`.
  explicit LinuxPreferenceDomains(std::string directory);
  // $XDG_CONFIG_HOME/halomark, else ~/.config/halomark.
  static std::string defaultDirectory();

  std::optional<PlistValue> value(const std::string& domain, const std::string& key) override;
  void setValue(const std::string& domain, const std::string& key, const PlistValue& value) override;
  void setValues(const std::string& domain, const PlistDictionary& values) override;
  void removeValue(const std::string& domain, const std::string& key) override;
  std::optional<PlistDictionary> domain(const std::string& domain) override;
  void replaceDomain(const std::string& domain, const PlistDictionary& contents) override;
  void removeDomain(const std::string& domain) override;
  std::optional<std::string> problem(const std::string& domain) override;
  // Every write is on disk when it returns; false when a write since the last call failed.
  bool synchronize() override;

 private:
  // None for names that are not plain file names.
  LockedJsonFile* file(const std::string& domain);
  void update(const std::string& domain, const LockedJsonFile::Change& change);

  std::string directory_;
  std::map<std::string, std::unique_ptr<LockedJsonFile>> files_;
  bool writeFailed_ = false;
};
