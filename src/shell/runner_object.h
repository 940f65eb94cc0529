// The KRunner runner on the session bus (org.kde.krunner1 at /runner, adaptor generated from
// dbus/org.kde.krunner1.xml): the application says what matches a query and what running a match does.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <string>
#include <vector>

struct RunnerAction {
  QString id, text, iconName;
};
struct RunnerMatchEntry {
  QString id, text, iconName;
  int categoryRelevance = 0;
  double relevance = 0;
  QVariantMap properties;
};
using RunnerActions = QList<RunnerAction>;
using RunnerMatches = QList<RunnerMatchEntry>;
Q_DECLARE_METATYPE(RunnerAction)
Q_DECLARE_METATYPE(RunnerMatchEntry)

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerAction& action);
const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerAction& action);
QDBusArgument& operator<<(QDBusArgument& argument, const RunnerMatchEntry& match);
const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerMatchEntry& match);

class RunnerObject : public QObject {
  Q_OBJECT
 public:
  struct Offer {
    std::string id;
    std::string text;
    bool exact;  // the whole phrase, not only its beginning
  };
  using MatchHandler = std::function<std::vector<Offer>(const std::string& query)>;
  using RunHandler = std::function<void(const std::string& matchId)>;

  RunnerObject(MatchHandler match, RunHandler run);
  bool exportOn(QDBusConnection& bus);

 public slots:
  RunnerActions Actions();
  RunnerMatches Match(const QString& query);
  void Run(const QString& matchId, const QString& actionId);

 private:
  MatchHandler match_;
  RunHandler run_;
};
