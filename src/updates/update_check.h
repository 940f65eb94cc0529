// One look at the update feed: fetched and parsed, the newest release compared with the running
// build, and the outcome as the dialog and the reminder show it.
#pragma once

#include <optional>
#include <string>

#include "platform/interfaces/feed_fetcher.h"
#include "updates/appcast.h"

struct UpdateCheckState {
  enum class Kind { checking, upToDate, updateAvailable, failed, noFeed };
  Kind kind = Kind::checking;
  std::optional<AppcastItem> update;  // for updateAvailable
  std::string problem;                // for failed: why, as a sentence
};

namespace UpdateCheck {

// What the fetched feed says about the build `currentVersion`.
UpdateCheckState evaluate(const FeedFetcher::Result& fetched, const std::string& currentVersion);

// What the update dialog shows for a state.
struct DialogContent {
  std::string headline;
  std::string body;
  std::string releaseNotesLink;  // empty: no notes link
  std::string downloadLink;      // empty: no Download button
  bool busy = false;
};
DialogContent dialogContent(const UpdateCheckState& state, const std::string& currentDisplayVersion);

// The gentle reminder of a scheduled check that found a release.
DialogContent reminderContent(const AppcastItem& update);

}  // namespace UpdateCheck
