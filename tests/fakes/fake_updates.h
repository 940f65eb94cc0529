// A feed fetcher answered by the test, and an update interface that records what it was asked to show.
#pragma once

#include <functional>
#include <vector>

#include "platform/interfaces/feed_fetcher.h"
#include "updates/updates.h"

class FakeFeedFetcher : public FeedFetcher {
 public:
  void fetch(const Request& request, std::function<void(Result)> done) override {
    requests.push_back(request);
    pending.push_back(std::move(done));
  }
  // Answers the oldest fetch still waiting.
  void answer(Result result) {
    auto done = std::move(pending.front());
    pending.erase(pending.begin());
    done(std::move(result));
  }

  std::vector<Request> requests;
  std::vector<std::function<void(Result)>> pending;
};

class FakeUpdateUserDriver : public UpdateUserDriver {
 public:
  void bringToFront() override { ++broughtToFront; }
  void showCheck(const UpdateCheckState& state) override { shown.push_back(state); }
  void remindGently(const AppcastItem& update) override { reminders.push_back(update); }

  int broughtToFront = 0;
  std::vector<UpdateCheckState> shown;
  std::vector<AppcastItem> reminders;
};
