#include "platform/linux_services/feed_fetcher_linux.h"

#include <gtest/gtest.h>

#include <QProcess>

#include "dbusmock_bus.h"

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

class LinuxFeedFetcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureCoreApplication();
    server.start("/usr/bin/python3", {HALOMARK_TEST_DATA "/feed_server.py", "--lifetime", "60"});
    ASSERT_TRUE(server.waitForReadyRead(10000)) << "the feed server did not start";
    port = QString::fromUtf8(server.readLine()).trimmed().toStdString();
  }
  void TearDown() override {
    server.kill();
    server.waitForFinished();
  }

  // The body, or "failed: " and the reason.
  std::string fetch(const std::string& url, double timeout = 10, std::size_t maxBytes = kMiB,
                    double deadline = 15) {
    std::optional<FeedFetcher::Result> result;
    fetcher.fetch({url, timeout, maxBytes, deadline}, [&](FeedFetcher::Result r) { result = std::move(r); });
    if (!waitUntil([&] { return result.has_value(); }, 20)) return "no answer";
    if (auto* failure = std::get_if<FeedFetcher::Failure>(&*result)) return "failed: " + failure->reason;
    return std::get<std::string>(*result);
  }
  std::string local(const std::string& path) { return "http://127.0.0.1:" + port + path; }

  QProcess server;
  std::string port;
  LinuxFeedFetcher fetcher;
};

TEST_F(LinuxFeedFetcherTest, FetchesOverLoopbackAndRefusesPlainHttpElsewhere) {
  EXPECT_NE(fetch(local("/feed?version=2")).find("<sparkle:version>2</sparkle:version>"), std::string::npos);
  EXPECT_NE(fetch("http://localhost:" + port + "/feed").find("<rss"), std::string::npos);
  for (const char* address :
       {"http://example.org/appcast.xml", "ftp://127.0.0.1/feed", "file:///etc/hostname", "not a url", ""})
    EXPECT_EQ(fetch(address), "failed: The update feed's address is not a secure (https) address.")
        << address;
  EXPECT_EQ(fetch(local("/missing")).rfind("failed: The update feed couldn't be fetched: ", 0), 0u);
}

TEST_F(LinuxFeedFetcherTest, RefusesFeedsOverTheLimitWithOrWithoutADeclaredLength) {
  EXPECT_EQ(fetch(local("/oversized?declared=1")), "failed: The update feed is too large.");
  EXPECT_EQ(fetch(local("/oversized?declared=0")), "failed: The update feed is too large.");
  EXPECT_NE(fetch(local("/oversized?declared=1"), 10, 4 * kMiB).find("<rss"), std::string::npos);
}

TEST_F(LinuxFeedFetcherTest, RefusesAHugeBodyAsItArrivesWithoutHoldingIt) {
  // 200 MiB offered: refused once the first megabyte is passed, long before the rest could arrive.
  EXPECT_EQ(fetch(local("/huge?megabytes=200&declared=0")), "failed: The update feed is too large.");
  EXPECT_EQ(fetch(local("/huge?megabytes=200&declared=1")), "failed: The update feed is too large.");
  EXPECT_NE(fetch(local("/huge?megabytes=1&declared=0"), 10, 2 * kMiB).find("<rss"), std::string::npos);
}

TEST_F(LinuxFeedFetcherTest, GivesUpOnASlowServerAfterTheTimeout) {
  EXPECT_EQ(fetch(local("/slow?delay=5"), 0.5), "failed: The update server didn't answer in time.");
}

TEST_F(LinuxFeedFetcherTest, GivesUpOnAServerThatKeepsSendingSlowlyAtTheDeadline) {
  // Never silent for long enough to reach the inactivity limit; only the whole fetch's deadline ends it.
  EXPECT_EQ(fetch(local("/trickle?interval=0.1"), 5, kMiB, 1),
            "failed: The update server didn't send the feed in time.");
  EXPECT_NE(fetch(local("/trickle?interval=0.001"), 5, kMiB, 10).find("<rss"), std::string::npos);
}

TEST_F(LinuxFeedFetcherTest, FollowsRedirectsOnlyToHttps) {
  EXPECT_EQ(fetch(local("/redirect?to=" + local("/feed"))),
            "failed: The update feed redirected to an address that is not secure (https).");
  // Followed (and so failing to connect, as nothing listens there), not refused.
  auto outcome = fetch(local("/redirect?to=https://127.0.0.1:1/feed"));
  EXPECT_EQ(outcome.rfind("failed: The update feed couldn't be fetched: ", 0), 0u) << outcome;
}

}  // namespace
