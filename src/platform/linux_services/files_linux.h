// Atomic file replacement on a POSIX file system.
#pragma once

#include "platform/interfaces/files.h"

class LinuxFiles : public Files {
 public:
  std::optional<std::string> writeAtomically(const std::string& path, const std::string& bytes) override;
};
