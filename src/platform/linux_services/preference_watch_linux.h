// Watches the preference folder (a write replaces a domain's file by renaming a new one into
// place, which only the folder sees) and the domain's file itself (an edit in place), and reports
// a domain when its file is no longer the one last seen.
#pragma once

#include <QFileSystemWatcher>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/interfaces/preference_watch.h"

class LinuxPreferenceWatch : public PreferenceWatch {
 public:
  // Domain `name` is the file `<directory>/<name>.json`, as the preference domains keep it.
  explicit LinuxPreferenceWatch(std::string directory);
  ~LinuxPreferenceWatch() override;

  // Creates the folder when it does not exist yet, so the first write is seen too.
  bool watch(const std::string& domain, std::function<void()> onChange) override;

 private:
  struct Watched {
    std::string path;
    std::string seen;  // identity of the file last seen: device, inode, size, modification time
    std::vector<std::function<void()>> handlers;
  };
  void check();

  std::string directory_;
  std::unique_ptr<QFileSystemWatcher> watcher_;
  std::map<std::string, Watched> domains_;
};
