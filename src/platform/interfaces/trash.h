// Moving files to the user's Trash.
#pragma once

#include <optional>
#include <string>
#include <variant>

struct Trashed {
  // Where the item now lies, when the platform says.
  std::optional<std::string> location;
};
struct TrashFailure {
  std::string description;
};

class Trash {
 public:
  virtual ~Trash() = default;
  virtual std::variant<Trashed, TrashFailure> moveToTrash(const std::string& path) = 0;
};
