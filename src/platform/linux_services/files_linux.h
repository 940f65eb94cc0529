// Atomic file replacement on a POSIX file system.
#pragma once

#include "formats/failure.h"
#include "platform/interfaces/files.h"

class LinuxFiles : public Files {
 public:
  Failure writeAtomically(const std::string& path, const std::string& bytes) override;
};
