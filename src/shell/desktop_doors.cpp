#include "shell/desktop_doors.h"

DesktopDoors::DesktopDoors(Platform& platform, LogoCommands& commands, std::optional<QDBusConnection> bus)
    : bus_(bus),
      actions_(commands),
      answers_(bus),
      runner_(
          [](const std::string& query) {
            std::vector<RunnerObject::Offer> matches;
            for (const auto& match : LogoLight::runnerMatches(query))
              matches.push_back({match.id, match.text, match.exact});
            return matches;
          },
          [this](const std::string& matchId) {
            answerWithNotification(LogoLight::runRunnerMatch(actions_, matchId));
          }),
      updateNotes_(bus) {
  auto configuration = Updates::configurationFromBundle(platform);
  updateDriver_ = std::make_unique<NotificationUpdateDriver>(updateNotes_, configuration.displayVersion);
  updates_ = std::make_unique<Updates>(platform, fetcher_, *updateDriver_, configuration);
}

void DesktopDoors::open(ApplicationObject& applicationObject) {
  ApplicationObject::LogoLightHandlers handlers;
  handlers.status = [this] {
    auto answer = actions_.status();
    return std::pair{answer.lit, answer.sentence};
  };
  handlers.toggle = [this] { return actions_.toggle(); };
  handlers.turnOn = [this] { return actions_.turnOn(); };
  handlers.turnOff = [this] { return actions_.turnOff(); };
  handlers.set = [this](const std::string& mode, double nits) -> ApplicationObject::Reply {
    auto outcome = LogoLight::runSet(actions_, mode, nits);
    if (auto* refusal = std::get_if<LogoLight::Refusal>(&outcome)) return {refusal->reason, true};
    return {std::get<std::string>(outcome)};
  };
  handlers.activateAction = [this](const std::string& name, const std::vector<PlistValue>& parameter) {
    if (name == kCheckForUpdatesAction) {
      updates_->checkForUpdates();
      return ApplicationObject::Reply{};
    }
    return answerWithNotification(LogoLight::runNamed(actions_, name, parameter));
  };
  applicationObject.setLogoLightHandlers(std::move(handlers));
  if (bus_) runner_.exportOn(*bus_);
}

ApplicationObject::Reply DesktopDoors::answerWithNotification(
    const std::variant<std::string, LogoLight::Refusal>& outcome) {
  if (auto* refusal = std::get_if<LogoLight::Refusal>(&outcome)) return {refusal->reason, true};
  const auto& sentence = std::get<std::string>(outcome);
  answers_.show(sentence, "");
  return {sentence};
}
