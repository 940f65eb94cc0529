// Fetching an update feed over the network, safely: https only (plain http only to this machine's
// loopback addresses), redirects only to https, time limits and a size limit that bounds what is
// held in memory, not only what is accepted.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <variant>

class FeedFetcher {
 public:
  struct Request {
    std::string url;
    // The longest the server may stay silent.
    double timeoutSeconds;
    std::size_t maxBytes;
    // The longest the whole fetch may take, however steadily the server sends.
    double deadlineSeconds;
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
