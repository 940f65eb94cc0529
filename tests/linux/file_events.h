// Counts the events of one kind that a file gets in its folder (a replacement by rename, a write),
// to tell how often a service wrote it.
#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

class FileEvents {
 public:
  // IN_MOVED_TO counts replacements by rename, as every atomic write makes; IN_CLOSE_WRITE counts
  // writes in place.
  FileEvents(const std::string& path, std::uint32_t kind)
      : name_(std::filesystem::path(path).filename()), fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    ::inotify_add_watch(fd_, std::filesystem::path(path).parent_path().c_str(), kind);
  }
  ~FileEvents() { ::close(fd_); }
  FileEvents(const FileEvents&) = delete;
  FileEvents& operator=(const FileEvents&) = delete;

  // Every event so far.
  int count() {
    alignas(inotify_event) char buffer[4096];
    ssize_t length;
    while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + length;) {
        auto* event = reinterpret_cast<inotify_event*>(at);
        if (event->len && name_ == event->name) ++count_;
        at += sizeof(inotify_event) + event->len;
      }
    }
    return count_;
  }

 private:
  std::string name_;
  int fd_;
  int count_ = 0;
};
