#include "platform/linux_services/preference_watch_linux.h"

#include <sys/stat.h>

#include <filesystem>

namespace {

std::string identity(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
         std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
         std::to_string(info.st_mtim.tv_nsec);
}

}  // namespace

LinuxPreferenceWatch::LinuxPreferenceWatch(std::string directory) : directory_(std::move(directory)) {}

LinuxPreferenceWatch::~LinuxPreferenceWatch() = default;

bool LinuxPreferenceWatch::watch(const std::string& domain, std::function<void()> onChange) {
  if (domain.empty() || domain.find('/') != std::string::npos) return false;
  if (!watcher_) {
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    watcher_ = std::make_unique<QFileSystemWatcher>();
    if (!watcher_->addPath(QString::fromStdString(directory_))) {
      watcher_.reset();
      return false;
    }
    QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, [this] { check(); });
    QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, [this] { check(); });
  }
  auto& watched = domains_[domain];
  if (watched.path.empty()) {
    watched.path = directory_ + "/" + domain + ".json";
    watched.seen = identity(watched.path);
    watcher_->addPath(QString::fromStdString(watched.path));
  }
  watched.handlers.push_back(std::move(onChange));
  return true;
}

void LinuxPreferenceWatch::check() {
  std::vector<std::function<void()>> due;
  for (auto& [domain, watched] : domains_) {
    // A file replaced by a rename is a new file: watch that one for edits in place.
    QString path = QString::fromStdString(watched.path);
    watcher_->removePath(path);
    watcher_->addPath(path);
    std::string now = identity(watched.path);
    if (now == watched.seen) continue;
    watched.seen = now;
    due.insert(due.end(), watched.handlers.begin(), watched.handlers.end());
  }
  for (const auto& handler : due) handler();
}
