// Fetching an update feed over the network, safely: https only (plain http only to this machine's
// loopback addresses), redirects only to https, a time limit and a size limit.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <variant>

class FeedFetcher {
 public:
  struct Request {
    std::string url;
    double timeoutSeconds;
    std::size_t maxBytes;
  };
  struct Failure {
    std::string reason;  // a sentence for the user
  };
  // The body, or why there is none.
  using Result = std::variant<std::string, Failure>;

  virtual ~FeedFetcher() = default;
  // Starts the fetch and calls `done` once, later, on the main thread.
  virtual void fetch(const Request& request, std::function<void(Result)> done) = 0;
};
