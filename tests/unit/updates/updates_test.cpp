#include "updates/updates.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_updates.h"
#include "formats/app_identifier.h"

namespace {

using Kind = UpdateCheckState::Kind;

constexpr double kDay = 24 * 60 * 60;

std::string feedWith(const std::string& version) {
  return "<rss xmlns:sparkle='x'><channel><item><sparkle:version>" + version +
         "</sparkle:version><sparkle:shortVersionString>9.9</sparkle:shortVersionString>"
         "<link>https://example.org/get</link></item></channel></rss>";
}

class UpdatesTest : public ::testing::Test {
 protected:
  std::unique_ptr<Updates> makeUpdater(std::string feed = "https://example.org/appcast.xml") {
    return std::make_unique<Updates>(fake.platform, fetcher, driver,
                                     Updates::Configuration{feed, "27", "1.4", std::nullopt, 30});
  }
  PlistDictionary& stored() { return fake.preferences.domains[kAppIdentifier]; }

  FakePlatform fake;
  FakeFeedFetcher fetcher;
  FakeUpdateUserDriver driver;
};

TEST_F(UpdatesTest, CheckNowComesForwardAndShowsEachOutcome) {
  auto updates = makeUpdater();
  updates->checkForUpdates();
  EXPECT_EQ(driver.broughtToFront, 1);
  ASSERT_EQ(fetcher.requests.size(), 1u);
  EXPECT_EQ(fetcher.requests[0].url, "https://example.org/appcast.xml");
  EXPECT_EQ(fetcher.requests[0].timeoutSeconds, 30);
  EXPECT_EQ(fetcher.requests[0].deadlineSeconds, 60);
  EXPECT_EQ(fetcher.requests[0].maxBytes, 1024u * 1024u);
  EXPECT_EQ(driver.shown.back().kind, Kind::checking);
  fetcher.answer(feedWith("31"));
  ASSERT_EQ(driver.shown.back().kind, Kind::updateAvailable);
  EXPECT_EQ(driver.shown.back().update->displayVersion, "9.9");

  for (auto [version, kind] :
       {std::pair{"27", Kind::upToDate}, {"26", Kind::upToDate}, {"27.1", Kind::updateAvailable}}) {
    updates->checkForUpdates();
    fetcher.answer(feedWith(version));
    EXPECT_EQ(driver.shown.back().kind, kind) << version;
  }
  updates->checkForUpdates();
  fetcher.answer(FeedFetcher::Failure{"The update server didn't answer in time."});
  EXPECT_EQ(driver.shown.back().kind, Kind::failed);
  EXPECT_EQ(driver.shown.back().problem, "The update server didn't answer in time.");
  updates->checkForUpdates();
  fetcher.answer(std::string("<rss><channel><item><sparkle:version>1.0<"));
  EXPECT_EQ(driver.shown.back().problem, "The update feed is not valid XML.");
  EXPECT_TRUE(driver.reminders.empty());
}

TEST_F(UpdatesTest, WithoutAFeedItSaysWhereUpdatesComeFromAndNeverChecks) {
  auto updates = makeUpdater("");
  updates->start();
  stored()[Updates::kAutomaticChecksKey] = true;
  EXPECT_FALSE(updates->automaticallyChecksForUpdates());
  updates->setAutomaticallyChecksForUpdates(true);
  updates->checkForUpdates();
  EXPECT_EQ(driver.shown.back().kind, Kind::noFeed);
  fake.clock.advance(10 * kDay);
  EXPECT_TRUE(fetcher.requests.empty());
  EXPECT_EQ(fake.clock.pendingCount(), 0u);
  auto content = UpdateCheck::dialogContent(driver.shown.back(), "1.4");
  EXPECT_EQ(content.headline, "Updates come from where Halomark was installed");
}

TEST_F(UpdatesTest, ScheduledChecksRunAtMostDailyOnOneTimerAndRemindGently) {
  auto updates = makeUpdater();
  updates->start();
  EXPECT_EQ(fake.clock.pendingCount(), 1u);
  fake.clock.advance(59);
  EXPECT_TRUE(fetcher.requests.empty());
  fake.clock.advance(1);
  ASSERT_EQ(fetcher.requests.size(), 1u);
  EXPECT_EQ(stored()[Updates::kLastCheckTimeKey], fake.clock.now());
  fetcher.answer(feedWith("31"));
  EXPECT_EQ(driver.broughtToFront, 0);
  EXPECT_TRUE(driver.shown.empty());
  ASSERT_EQ(driver.reminders.size(), 1u);
  EXPECT_EQ(fake.clock.pendingCount(), 1u);
  fake.clock.advance(kDay - 1);
  EXPECT_EQ(fetcher.requests.size(), 1u);
  fake.clock.advance(1);
  EXPECT_EQ(fetcher.requests.size(), 2u);
  fetcher.answer(feedWith("27"));
  EXPECT_EQ(driver.reminders.size(), 1u);
  EXPECT_EQ(fake.clock.pendingCount(), 1u);
}

TEST_F(UpdatesTest, RestartingSoonAfterACheckWaitsForTheRestOfTheDay) {
  stored()[Updates::kLastCheckTimeKey] = fake.clock.now() - kDay / 2;
  auto updates = makeUpdater();
  updates->start();
  fake.clock.advance(kDay / 2 - 1);
  EXPECT_TRUE(fetcher.requests.empty());
  fake.clock.advance(1);
  EXPECT_EQ(fetcher.requests.size(), 1u);
}

TEST_F(UpdatesTest, AClockSetBackDoesNotPostponeChecksForever) {
  stored()[Updates::kLastCheckTimeKey] = fake.clock.now() + 365 * kDay;
  auto updates = makeUpdater();
  updates->start();
  fake.clock.advance(kDay);
  EXPECT_EQ(fetcher.requests.size(), 1u);
}

TEST_F(UpdatesTest, TheFlagIsStoredUnderTheUpdatersKeyAndStopsEverything) {
  auto updates = makeUpdater();
  EXPECT_TRUE(updates->automaticallyChecksForUpdates());
  updates->start();
  updates->setAutomaticallyChecksForUpdates(false);
  EXPECT_EQ(stored()[Updates::kAutomaticChecksKey], false);
  EXPECT_FALSE(updates->automaticallyChecksForUpdates());
  EXPECT_EQ(fake.clock.pendingCount(), 0u);
  fake.clock.advance(3 * kDay);
  EXPECT_TRUE(fetcher.requests.empty());
  EXPECT_FALSE(stored().contains("setting"));
  updates->setAutomaticallyChecksForUpdates(true);
  EXPECT_EQ(fake.clock.pendingCount(), 1u);
  fake.clock.advance(0);
  EXPECT_EQ(fetcher.requests.size(), 1u);
}

TEST_F(UpdatesTest, TheBundleCanTurnAutomaticChecksOffByDefault) {
  auto updates = std::make_unique<Updates>(fake.platform, fetcher, driver,
                                           Updates::Configuration{"https://e.org/f", "1", "1.0", false, 30});
  EXPECT_FALSE(updates->automaticallyChecksForUpdates());
  updates->start();
  EXPECT_EQ(fake.clock.pendingCount(), 0u);
}

TEST_F(UpdatesTest, AUserCheckDuringAScheduledOneGetsItsAnswer) {
  auto updates = makeUpdater();
  updates->start();
  fake.clock.advance(60);
  updates->checkForUpdates();
  EXPECT_EQ(fetcher.requests.size(), 1u);
  fetcher.answer(feedWith("31"));
  EXPECT_EQ(driver.shown.back().kind, Kind::updateAvailable);
  EXPECT_TRUE(driver.reminders.empty());
}

TEST_F(UpdatesTest, ASecondCheckWhileOneIsUnderWayJoinsIt) {
  auto updates = makeUpdater();
  updates->checkForUpdates();
  updates->checkForUpdates();
  EXPECT_EQ(fetcher.requests.size(), 1u) << "no second fetch";
  EXPECT_EQ(driver.broughtToFront, 2);
  fetcher.answer(feedWith("31"));
  EXPECT_EQ(driver.shown.back().kind, Kind::updateAvailable);
  EXPECT_TRUE(fetcher.pending.empty());
  // Once answered, the next check fetches anew.
  updates->checkForUpdates();
  EXPECT_EQ(fetcher.requests.size(), 2u);
}

TEST_F(UpdatesTest, AnAnswerAfterTheUpdaterIsGoneIsDropped) {
  auto updates = makeUpdater();
  updates->checkForUpdates();
  updates.reset();
  fetcher.answer(feedWith("31"));
  EXPECT_EQ(driver.shown.size(), 1u);
}

TEST_F(UpdatesTest, DialogTextsNameTheVersions) {
  AppcastItem item{"", "31", "1.5", "https://e.org/notes", "https://e.org/get"};
  auto available = UpdateCheck::dialogContent({Kind::updateAvailable, item, ""}, "1.4");
  EXPECT_EQ(available.headline, "A new version of Halomark is available");
  EXPECT_EQ(available.body, "Halomark 1.5 is available \u2014 you have 1.4.");
  EXPECT_EQ(available.downloadLink, "https://e.org/get");
  EXPECT_EQ(available.releaseNotesLink, "https://e.org/notes");
  auto current = UpdateCheck::dialogContent({Kind::upToDate, std::nullopt, ""}, "1.4");
  EXPECT_EQ(current.headline, "You're up to date");
  EXPECT_TRUE(current.downloadLink.empty());
  EXPECT_TRUE(UpdateCheck::dialogContent({}, "1.4").busy);
  EXPECT_EQ(UpdateCheck::reminderContent(item).headline, "Halomark 1.5 is available");
  auto unknown = UpdateCheck::evaluate(feedWith("2"), "?");
  EXPECT_EQ(unknown.problem, "This copy of Halomark doesn't know its own version.");
}

TEST_F(UpdatesTest, AWindowTakesOverFromTheNotificationsOnceTheInterfaceHasOne) {
  auto updates = makeUpdater();
  FakeUpdateUserDriver window;
  EXPECT_EQ(&updates->userDriver(), &driver);
  updates->setUserDriver(window);
  updates->checkForUpdates();
  fetcher.answer(feedWith("31"));
  EXPECT_EQ(window.broughtToFront, 1);
  EXPECT_EQ(window.shown.back().kind, Kind::updateAvailable);
  EXPECT_TRUE(driver.shown.empty());
}

}  // namespace
