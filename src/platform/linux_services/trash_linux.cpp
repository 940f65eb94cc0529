#include "platform/linux_services/trash_linux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/linux_utilities/user_directories.h"

std::variant<Trashed, TrashFailure> LinuxTrash::moveToTrash(const std::string& path) {
  const QString original = QString::fromStdString(path);
  // Without the data folder Qt "trashes" into ./files beside the working directory.
  const QString data = QString::fromStdString(UserDirectories::dataHome());
  if (!QDir().mkpath(data)) return TrashFailure{"Couldn't create the folder " + data.toStdString() + "."};
  QFile item(original);
  if (!item.moveToTrash()) return TrashFailure{item.errorString().toStdString()};
  const QString trashed = item.fileName();
  if (QDir::isAbsolutePath(trashed)) return Trashed{trashed.toStdString()};
  // Moved somewhere that is no Trash: put it back where it was.
  const QString stray = QFileInfo(trashed).absoluteFilePath();
  if (QDir().rename(stray, original))
    return TrashFailure{"The Trash isn't available; the item stays where it was."};
  return TrashFailure{"The Trash isn't available; the item was moved to " + stray.toStdString() + "."};
}
