// Fetches update feeds with Qt Network on the main thread's event loop.
#pragma once

#include <QNetworkAccessManager>

#include "platform/interfaces/feed_fetcher.h"

class LinuxFeedFetcher : public FeedFetcher {
 public:
  LinuxFeedFetcher();
  void fetch(const Request& request, std::function<void(Result)> done) override;

 private:
  QNetworkAccessManager network_;
};
