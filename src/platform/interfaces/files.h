// File writes that must never leave a half-written file behind.
#pragma once

#include <optional>
#include <string>

#include "formats/failure.h"

class Files {
 public:
  virtual ~Files() = default;
  // Replaces the file at `path` atomically (temporary file, flush to disk, rename). A symbolic link
  // at `path` stays a link and its target is replaced; an existing file's permission bits are kept.
  // Returns the error text on failure, none on success.
  virtual Failure writeAtomically(const std::string& path, const std::string& bytes) = 0;
};
