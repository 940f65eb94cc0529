#include "platform/linux_utilities/package_owner.h"

#include <QProcess>

namespace {

constexpr int kQueryTimeoutMs = 10000;

}  // namespace

namespace PackageOwner {

std::optional<std::string> of(const std::string& path, const std::string& query) {
  // An absolute path is matched exactly; a pattern character would widen the search.
  if (path.empty() || path.front() != '/' || path.find_first_of("*?[]\\") != std::string::npos) {
    return std::nullopt;
  }
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start(QString::fromStdString(query), {QStringLiteral("--search"), QString::fromStdString(path)});
  if (!process.waitForFinished(kQueryTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return std::nullopt;
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
  // Lines read "name[:arch][, name...]: path", after any "diversion by ..." notes; the first owner
  // is the one to name.
  const auto lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
  for (const QString& line : lines) {
    if (line.startsWith(QStringLiteral("diversion ")) || !line.contains(QStringLiteral(": "))) continue;
    const QString owners = line.section(QStringLiteral(": "), 0, 0);
    const QString first = owners.section(QLatin1Char(','), 0, 0).section(QLatin1Char(':'), 0, 0).trimmed();
    if (!first.isEmpty()) return first.toStdString();
  }
  return std::nullopt;
}

}  // namespace PackageOwner
