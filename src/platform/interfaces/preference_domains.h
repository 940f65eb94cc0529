// Per-user preference domains shared by every process of the user, one key-value store per name.
#pragma once

#include <optional>
#include <string>

#include "formats/plist_value.h"

class PreferenceDomains {
 public:
  virtual ~PreferenceDomains() = default;
  // The value under `key`, or none when the key (or the whole domain) is missing.
  virtual std::optional<PlistValue> value(const std::string& domain, const std::string& key) = 0;
  virtual void setValue(const std::string& domain, const std::string& key, const PlistValue& value) = 0;
  // Stores every key of `values` as one change: all of them, or none when the write fails.
  virtual void setValues(const std::string& domain, const PlistDictionary& values) = 0;
  virtual void removeValue(const std::string& domain, const std::string& key) = 0;
  // The whole domain, or none when it does not exist.
  virtual std::optional<PlistDictionary> domain(const std::string& domain) = 0;
  virtual void replaceDomain(const std::string& domain, const PlistDictionary& contents) = 0;
  virtual void removeDomain(const std::string& domain) = 0;
  // Why the stored copy of `domain` cannot be used, so it reads as empty; none when it can (or when
  // there is none).
  virtual std::optional<std::string> problem(const std::string& domain) = 0;
  // Flushes this process's writes and picks up other processes' writes.
  virtual bool synchronize() = 0;
};
