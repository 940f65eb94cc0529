#include "shell/runner_object.h"

#include <QDBusMetaType>

#include "runner_adaptor.h"

namespace {

// The runner's relevance classes: an exact phrase ranks with exact matches, a beginning of one
// with possible matches (the values mean the same to both generations of KRunner).
constexpr int kExactMatch = 100;
constexpr int kPossibleMatch = 30;
// A typed phrase, an offered match's id: anything longer is no query of a person's, and is answered
// by its size alone, before it is converted.
constexpr qsizetype kMaxQueryLength = 4096;
constexpr qsizetype kMaxMatchIdLength = 256;

}  // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerAction& action) {
  argument.beginStructure();
  argument << action.id << action.text << action.iconName;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerAction& action) {
  argument.beginStructure();
  argument >> action.id >> action.text >> action.iconName;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerMatchEntry& match) {
  argument.beginStructure();
  argument << match.id << match.text << match.iconName << match.categoryRelevance << match.relevance
           << match.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerMatchEntry& match) {
  argument.beginStructure();
  argument >> match.id >> match.text >> match.iconName >> match.categoryRelevance >> match.relevance >>
      match.properties;
  argument.endStructure();
  return argument;
}

RunnerObject::RunnerObject(MatchHandler match, RunHandler run)
    : match_(std::move(match)), run_(std::move(run)) {
  qDBusRegisterMetaType<RunnerAction>();
  qDBusRegisterMetaType<RunnerMatchEntry>();
  qDBusRegisterMetaType<RunnerActions>();
  qDBusRegisterMetaType<RunnerMatches>();
  new RunnerAdaptor(this);
}

bool RunnerObject::exportOn(QDBusConnection& bus) { return bus.registerObject("/runner", this); }

// Each match runs as it is; there are no secondary actions.
RunnerActions RunnerObject::Actions() { return {}; }

RunnerMatches RunnerObject::Match(const QString& query) {
  RunnerMatches matches;
  if (query.size() > kMaxQueryLength) return matches;
  for (const auto& match : match_(query.toStdString())) {
    RunnerMatchEntry entry;
    entry.id = QString::fromStdString(match.id);
    entry.text = QString::fromStdString(match.text);
    entry.categoryRelevance = match.exact ? kExactMatch : kPossibleMatch;
    entry.relevance = match.exact ? 1.0 : 0.5;
    entry.properties = {{"subtext", QString("Halomark")}};
    matches.append(entry);
  }
  return matches;
}

void RunnerObject::Run(const QString& matchId, const QString&) {
  if (matchId.size() <= kMaxMatchIdLength) run_(matchId.toStdString());
}
