// In-memory preference domains that count writes and synchronisations and can refuse writes.
#pragma once

#include <map>
#include <string>

#include "platform/interfaces/preference_domains.h"

class FakePreferenceDomains : public PreferenceDomains {
 public:
  std::optional<PlistValue> value(const std::string& domain, const std::string& key) override {
    auto d = domains.find(domain);
    if (d == domains.end()) return std::nullopt;
    auto v = d->second.find(key);
    if (v == d->second.end()) return std::nullopt;
    return v->second;
  }
  void setValue(const std::string& domain, const std::string& key, const PlistValue& value) override {
    setValues(domain, {{key, value}});
  }
  void setValues(const std::string& domain, const PlistDictionary& values) override {
    ++writeCount;
    if (refusesWrites) {
      writeRefused = true;
      return;
    }
    for (const auto& [key, value] : values) domains[domain][key] = value;
  }
  void removeValue(const std::string& domain, const std::string& key) override {
    if (refusesWrites) {
      writeRefused = true;
      return;
    }
    auto d = domains.find(domain);
    if (d != domains.end()) d->second.erase(key);
  }
  std::optional<PlistDictionary> domain(const std::string& domain) override {
    auto d = domains.find(domain);
    if (d == domains.end()) return std::nullopt;
    return d->second;
  }
  void replaceDomain(const std::string& domain, const PlistDictionary& contents) override {
    domains[domain] = contents;
  }
  void removeDomain(const std::string& domain) override {
    domains.erase(domain);
    removedDomains.push_back(domain);
  }
  std::optional<std::string> problem(const std::string& domain) override {
    auto found = problems.find(domain);
    if (found == problems.end()) return std::nullopt;
    return found->second;
  }
  bool synchronize() override {
    ++synchronizeCount;
    bool refused = writeRefused;
    writeRefused = false;
    return !refused;
  }

  std::map<std::string, PlistDictionary> domains;
  // A domain whose stored copy cannot be used, with the reason.
  std::map<std::string, std::string> problems;
  std::vector<std::string> removedDomains;
  int synchronizeCount = 0;
  // Every write is refused and leaves nothing behind (a lock held too long by another process);
  // the next synchronisation reports it.
  bool refusesWrites = false;
  bool writeRefused = false;
  // One per stored change, however many keys it holds.
  int writeCount = 0;
};
