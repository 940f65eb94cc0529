// Moving files and folders to the user's Trash as the freedesktop Trash specification lays it out.
#pragma once

#include "platform/interfaces/trash.h"

class LinuxTrash : public Trash {
 public:
  std::variant<Trashed, TrashFailure> moveToTrash(const std::string& path) override;
};
