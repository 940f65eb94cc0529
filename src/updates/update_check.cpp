#include "updates/update_check.h"

#include "updates/version_compare.h"

namespace UpdateCheck {

namespace {

UpdateCheckState failed(std::string problem) {
  return {UpdateCheckState::Kind::failed, std::nullopt, std::move(problem)};
}

}  // namespace

UpdateCheckState evaluate(const FeedFetcher::Result& fetched, const std::string& currentVersion) {
  if (const auto* failure = std::get_if<FeedFetcher::Failure>(&fetched)) return failed(failure->reason);
  if (!Versions::isPlausible(currentVersion))
    return failed("This copy of Halomark doesn't know its own version.");
  auto parsed = Appcast::parse(std::get<std::string>(fetched));
  if (const auto* problem = std::get_if<std::string>(&parsed)) return failed(*problem);
  auto newest = Appcast::newest(std::get<std::vector<AppcastItem>>(parsed));
  if (!newest || Versions::compare(newest->version, currentVersion) <= 0)
    return {UpdateCheckState::Kind::upToDate, std::nullopt, ""};
  return {UpdateCheckState::Kind::updateAvailable, std::move(newest), ""};
}

DialogContent dialogContent(const UpdateCheckState& state, const std::string& currentDisplayVersion) {
  switch (state.kind) {
    case UpdateCheckState::Kind::checking: return {"Checking for updates\u2026", "", "", "", true};
    case UpdateCheckState::Kind::upToDate:
      return {"You're up to date", "Halomark " + currentDisplayVersion + " is the newest version available.",
              "", ""};
    case UpdateCheckState::Kind::updateAvailable:
      return {"A new version of Halomark is available",
              "Halomark " + state.update->displayVersion + " is available \u2014 you have " +
                  currentDisplayVersion + ".",
              state.update->releaseNotesLink, state.update->downloadLink};
    case UpdateCheckState::Kind::failed: return {"Couldn't check for updates", state.problem, "", ""};
    case UpdateCheckState::Kind::noFeed: break;
  }
  return {"Updates come from where Halomark was installed",
          "This copy of Halomark doesn't look for updates itself. Update it the way you installed it, for "
          "example with your system's package manager.",
          "", ""};
}

DialogContent reminderContent(const AppcastItem& update) {
  return {"Halomark " + update.displayVersion + " is available",
          "Choose Check for Updates\u2026 in the Halomark menu to download it.", update.releaseNotesLink,
          update.downloadLink};
}

}  // namespace UpdateCheck
