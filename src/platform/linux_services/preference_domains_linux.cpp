#include "platform/linux_services/preference_domains_linux.h"

#include "platform/linux_utilities/user_directories.h"

LinuxPreferenceDomains::LinuxPreferenceDomains(std::string directory) : directory_(std::move(directory)) {}

std::string LinuxPreferenceDomains::defaultDirectory() { return UserDirectories::configHome() + "/halomark"; }

LockedJsonFile* LinuxPreferenceDomains::file(const std::string& domain) {
  if (domain.empty() || domain[0] == '.' || domain.find('/') != std::string::npos ||
      domain.find('\0') != std::string::npos) {
    return nullptr;
  }
  auto& slot = files_[domain];
  if (!slot) slot = std::make_unique<LockedJsonFile>(directory_ + "/" + domain + ".json");
  return slot.get();
}

void LinuxPreferenceDomains::update(const std::string& domain, const LockedJsonFile::Change& change) {
  auto* f = file(domain);
  if (!f || failed(f->update(change))) writeFailed_ = true;
}

std::optional<PlistValue> LinuxPreferenceDomains::value(const std::string& domain, const std::string& key) {
  auto* f = file(domain);
  auto contents = f ? f->read() : nullptr;
  if (!contents) return std::nullopt;
  auto found = contents->find(key);
  if (found == contents->end()) return std::nullopt;
  return found->second;
}

void LinuxPreferenceDomains::setValue(const std::string& domain, const std::string& key,
                                      const PlistValue& value) {
  setValues(domain, {{key, value}});
}

void LinuxPreferenceDomains::setValues(const std::string& domain, const PlistDictionary& values) {
  // One locked read-modify-write for all the keys: a writer that gives up waiting for the lock
  // leaves none of them behind, and one that gets it stores them all.
  update(domain, [&](std::optional<LockedJsonFile::Object>& contents) {
    if (!contents) contents.emplace();
    bool changed = false;
    for (const auto& [key, value] : values) {
      auto [slot, inserted] = contents->try_emplace(key, value);
      if (!inserted && slot->second == value && slot->second.type() == value.type()) continue;
      slot->second = value;
      changed = true;
    }
    return changed;
  });
}

void LinuxPreferenceDomains::removeValue(const std::string& domain, const std::string& key) {
  update(domain, [&](std::optional<LockedJsonFile::Object>& contents) {
    return contents && contents->erase(key) > 0;
  });
}

std::optional<std::string> LinuxPreferenceDomains::problem(const std::string& domain) {
  auto* f = file(domain);
  return f ? f->problem() : std::nullopt;
}

std::optional<PlistDictionary> LinuxPreferenceDomains::domain(const std::string& domain) {
  auto* f = file(domain);
  auto contents = f ? f->read() : nullptr;
  if (!contents) return std::nullopt;
  return *contents;
}

void LinuxPreferenceDomains::replaceDomain(const std::string& domain, const PlistDictionary& contents) {
  update(domain, [&](std::optional<LockedJsonFile::Object>& current) {
    current = contents;
    return true;
  });
}

void LinuxPreferenceDomains::removeDomain(const std::string& domain) {
  update(domain, [](std::optional<LockedJsonFile::Object>& contents) {
    if (!contents) return false;
    contents.reset();
    return true;
  });
}

bool LinuxPreferenceDomains::synchronize() {
  bool ok = !writeFailed_;
  writeFailed_ = false;
  return ok;
}
