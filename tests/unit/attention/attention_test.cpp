#include "attention/attention.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

using Style = Prefs::SignalStyle;

// A level write as seen on the mapping table: seconds after the test's start, and the output.
struct LevelWrite {
  double at;
  double nits;
  bool operator==(const LevelWrite& other) const {
    return std::abs(at - other.at) < 1e-5 && nits == other.nits;
  }
};

std::ostream& operator<<(std::ostream& out, const LevelWrite& w) { return out << w.nits << "@" << w.at; }

class AttentionTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Prefs prefs{fake.preferences};
  LogoController logo{fake.platform};
  std::vector<std::pair<double, bool>> changes;  // (seconds after start, value)
  double t0 = fake.clock.now();
  std::unique_ptr<Attention> attention =
      std::make_unique<Attention>(logo, prefs, fake.platform, [this](bool active) {
        changes.push_back({fake.clock.now() - t0, active});
      });

  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }
  std::vector<LevelWrite> levelWrites() const {
    std::vector<LevelWrite> result;
    for (const auto& w : fake.brightness.writes) {
      if (w.key != kMappingKey) continue;
      result.push_back({w.time - t0, w.value[0][1].get<double>()});
    }
    return result;
  }
  std::vector<bool> changeValues() const {
    std::vector<bool> result;
    for (const auto& [at, value] : changes) result.push_back(value);
    return result;
  }
  // The user touches the machine `seconds` after the test's start.
  void inputAt(double seconds) { fake.userActivity.lastInputAt = t0 + seconds; }
};

TEST_F(AttentionTest, BreathingAlternatesEveryStepAndWritesAFullLevel) {
  attention->start("build done", Style::breathing);
  EXPECT_TRUE(attention->isActive());
  EXPECT_EQ(attention->message(), "build done");

  // One step writes the mapping without a zero row, lifts both limits, sets the mode and nudges.
  ASSERT_EQ(fake.brightness.writes.size(), 4u);
  const double fltMax = LogoController::fltMax;
  EXPECT_EQ(fake.brightness.writes[0].key, kMappingKey);
  EXPECT_EQ(fake.brightness.writes[0].value, PlistValue({{0.0, 600.0}, {fltMax, 600.0}}));
  EXPECT_EQ(fake.brightness.writes[1].key, kMinRestrictionKey);
  EXPECT_EQ(fake.brightness.writes[1].value, PlistValue({{0.0, 0.0}, {fltMax, 0.0}}));
  EXPECT_EQ(fake.brightness.writes[2].key, kMaxRestrictionKey);
  EXPECT_EQ(fake.brightness.writes[2].value, PlistValue({{0.0, 1000.0}, {fltMax, 1000.0}}));
  EXPECT_EQ(fake.brightness.writes[3].key, kBacklightModeKey);
  EXPECT_EQ(fake.brightness.writes[3].value, PlistValue(2));
  EXPECT_EQ(fake.displayBrightness.sets.size(), 1u);

  fake.clock.advance(4.5);
  std::vector<LevelWrite> expected{{0, 600}, {1.1, 18}, {2.2, 600}, {3.3, 18}, {4.4, 600}};
  EXPECT_EQ(levelWrites(), expected);
  EXPECT_EQ(fake.displayBrightness.sets.size(), 5u);
  EXPECT_EQ(changeValues(), std::vector<bool>{true});
}

TEST_F(AttentionTest, DoublePulseSkipsStepsThatKeepTheLevel) {
  attention->start(std::nullopt, Style::doublePulse);
  fake.clock.advance(3.5);
  std::vector<LevelWrite> expected{{0, 600}, {0.55, 18}, {1.1, 600}, {1.65, 18}, {3.3, 600}};
  EXPECT_EQ(levelWrites(), expected);
  EXPECT_EQ(fake.brightness.writesOf(kBacklightModeKey).size(), 5u);
}

TEST_F(AttentionTest, SteadyWritesOnce) {
  attention->start(std::nullopt, Style::steady);
  fake.clock.advance(30);
  EXPECT_EQ(levelWrites(), (std::vector<LevelWrite>{{0, 500}}));
  EXPECT_TRUE(attention->isActive());
}

TEST_F(AttentionTest, MissingStyleUsesTheStoredOne) {
  store("signalStyle", "doublePulse");
  attention->start(std::nullopt, std::nullopt);
  fake.clock.advance(0.6);
  EXPECT_EQ(levelWrites(), (std::vector<LevelWrite>{{0, 600}, {0.55, 18}}));
}

TEST_F(AttentionTest, SameStyleRenewsMessageAndStartTimeOnly) {
  store("signalTimeoutMinutes", 1);
  attention->start("first", Style::breathing);
  fake.clock.advance(50);
  std::size_t writesBefore = fake.brightness.writes.size();
  attention->start("second", Style::breathing);
  EXPECT_EQ(fake.brightness.writes.size(), writesBefore);
  EXPECT_EQ(attention->message(), "second");
  EXPECT_EQ(changeValues(), std::vector<bool>{true});
  EXPECT_EQ(fake.userActivity.assertionNames.size(), 1u);

  // The cycle goes on: 50 s is not a multiple of the step, the next write is at 50.6 s (600 nits, as
  // 46 steps have passed).
  fake.clock.advance(0.7);
  EXPECT_EQ(levelWrites().back(), (LevelWrite{50.6, 600}));

  // The time limit now counts from the renewal: still running past a minute after the first start.
  fake.clock.advance(20);
  EXPECT_TRUE(attention->isActive());
  fake.clock.advance(41);
  EXPECT_FALSE(attention->isActive());
  EXPECT_NEAR(changes.back().first, 111.1, 1e-5);

  // A renewal without a message drops the earlier one.
  attention->start("again", Style::steady);
  attention->start(std::nullopt, Style::steady);
  EXPECT_EQ(attention->message(), std::nullopt);
}

TEST_F(AttentionTest, AnotherStyleRestartsTheCycle) {
  attention->start("one", Style::breathing);
  fake.clock.advance(1.5);
  attention->start("two", Style::steady);
  EXPECT_EQ(attention->message(), "two");
  EXPECT_EQ(changeValues(), (std::vector<bool>{true, true}));
  fake.clock.advance(5);
  // The breathing timer is gone: only the steady level follows.
  std::vector<LevelWrite> expected{{0, 600}, {1.1, 18}, {1.5, 500}};
  EXPECT_EQ(levelWrites(), expected);

  // Back to the first style: its cycle starts again at its first level.
  attention->start(std::nullopt, Style::doublePulse);
  fake.clock.advance(0.55);
  EXPECT_EQ(levelWrites().size(), 5u);
  EXPECT_EQ(levelWrites()[3], (LevelWrite{6.5, 600}));
  EXPECT_EQ(levelWrites()[4], (LevelWrite{7.05, 18}));
  // The assertion made at the first start is kept, not doubled.
  EXPECT_EQ(fake.userActivity.assertionNames.size(), 1u);
}

TEST_F(AttentionTest, InputInTheGracePeriodDoesNotStopTheSignal) {
  inputAt(0.2);
  attention->start(std::nullopt, Style::breathing);
  fake.clock.advance(1.2);  // tick at 1.1: idle 0.9 < 1.1, but within the first 2 seconds
  fake.clock.advance(1.1);  // tick at 2.2: idle 2.0, not less than the step
  fake.clock.advance(5);
  EXPECT_TRUE(attention->isActive());
  EXPECT_EQ(changeValues(), std::vector<bool>{true});
}

TEST_F(AttentionTest, InputAfterTheStartStopsAtTheNextTickPastTheGrace) {
  inputAt(1.5);
  attention->start("hi", Style::breathing);
  fake.clock.advance(2.1);
  EXPECT_TRUE(attention->isActive());
  fake.clock.advance(0.2);
  EXPECT_FALSE(attention->isActive());
  EXPECT_EQ(attention->message(), std::nullopt);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_NEAR(changes[1].first, 2.2, 1e-5);
  EXPECT_FALSE(changes[1].second);
  // The stopping tick writes nothing; the application restores the logo.
  EXPECT_EQ(levelWrites().size(), 2u);
  // The timer is gone.
  EXPECT_EQ(fake.clock.pendingCount(), 0u);

  // Later input stops a later signal at its next tick.
  attention->start(std::nullopt, Style::breathing);
  fake.clock.advance(10.0);
  inputAt(12.25);
  EXPECT_TRUE(attention->isActive());
  fake.clock.advance(1.0);
  EXPECT_FALSE(attention->isActive());
  EXPECT_NEAR(changes.back().first, 2.3 + 11.0, 1e-5);
}

TEST_F(AttentionTest, UnknownIdleTimeNeverStopsTheSignal) {
  fake.userActivity.idleSeconds = std::nullopt;
  attention->start(std::nullopt, Style::doublePulse);
  fake.clock.advance(120);
  EXPECT_TRUE(attention->isActive());
  fake.userActivity.idleSeconds = 0.1;
  fake.clock.advance(0.55);
  EXPECT_FALSE(attention->isActive());
}

TEST_F(AttentionTest, TimeLimitDefaultsToTenMinutesAndIsReadAtEveryTick) {
  attention->start(std::nullopt, Style::steady);
  fake.clock.advance(600.5);  // the tick at exactly 600 s has not exceeded the limit
  EXPECT_TRUE(attention->isActive());
  fake.clock.advance(1);
  EXPECT_FALSE(attention->isActive());
  EXPECT_NEAR(changes.back().first, 601, 1e-5);

  for (PlistValue unusable : {PlistValue(0), PlistValue(-3)}) {
    store("signalTimeoutMinutes", unusable);
    double started = fake.clock.now() - t0;
    attention->start(std::nullopt, Style::steady);
    fake.clock.advance(700);
    EXPECT_NEAR(changes.back().first - started, 601, 1e-6) << unusable;
  }

  store("signalTimeoutMinutes", 3);
  double started = fake.clock.now() - t0;
  attention->start(std::nullopt, Style::steady);
  fake.clock.advance(180.5);
  EXPECT_TRUE(attention->isActive());
  fake.clock.advance(1);
  EXPECT_NEAR(changes.back().first - started, 181, 1e-5);

  // Shortening the limit while running takes effect at the next tick.
  store("signalTimeoutMinutes", 10);
  started = fake.clock.now() - t0;
  attention->start(std::nullopt, Style::steady);
  fake.clock.advance(100.5);
  store("signalTimeoutMinutes", 1);
  fake.clock.advance(1);
  EXPECT_NEAR(changes.back().first - started, 101, 1e-5);
  EXPECT_FALSE(attention->isActive());
}

TEST_F(AttentionTest, KeepsTheDisplayOnUntilTheSignalStops) {
  attention->start(std::nullopt, Style::breathing);
  EXPECT_EQ(fake.userActivity.activityDeclarations, std::vector<std::string>{"Halomark attention signal"});
  EXPECT_EQ(fake.userActivity.assertionNames, std::vector<std::string>{"Halomark attention signal"});
  EXPECT_EQ(fake.userActivity.held.size(), 1u);

  // Turning the preference off while running keeps the held assertion until the stop.
  store("signalKeepDisplayOn", false);
  attention->start(std::nullopt, Style::steady);
  EXPECT_EQ(fake.userActivity.held.size(), 1u);
  attention->stop();
  EXPECT_TRUE(fake.userActivity.held.empty());
  EXPECT_EQ(fake.userActivity.released, std::vector<std::uint32_t>{1});

  // Off: nothing made, nothing released.
  attention->start(std::nullopt, Style::breathing);
  attention->stop();
  EXPECT_EQ(fake.userActivity.assertionNames.size(), 1u);
  EXPECT_EQ(fake.userActivity.activityDeclarations.size(), 1u);
  EXPECT_EQ(fake.userActivity.released.size(), 1u);

  // A failed assertion leaves nothing to release; the signal still runs.
  store("signalKeepDisplayOn", true);
  fake.userActivity.assertionSucceeds = false;
  attention->start(std::nullopt, Style::breathing);
  EXPECT_TRUE(attention->isActive());
  attention->stop();
  EXPECT_EQ(fake.userActivity.released.size(), 1u);
}

TEST_F(AttentionTest, StopWhenIdleDoesNothing) {
  attention->stop();
  EXPECT_TRUE(changes.empty());
  attention->start("x", Style::steady);
  attention->stop();
  attention->stop();
  EXPECT_EQ(changeValues(), (std::vector<bool>{true, false}));
  EXPECT_EQ(fake.clock.pendingCount(), 0u);
}

TEST_F(AttentionTest, LevelsAreScaledByTheMultiplier) {
  fake.brightness.properties[kStateKey] = {{"NitsMultiplier", 2.0}};
  attention->start(std::nullopt, Style::breathing);
  fake.clock.advance(1.1);
  EXPECT_EQ(levelWrites(), (std::vector<LevelWrite>{{0, 300}, {1.1, 9}}));

  fake.brightness.properties[kStateKey] = {{"NitsMultiplier", 0}};
  fake.clock.advance(1.1);
  EXPECT_EQ(levelWrites().back(), (LevelWrite{2.2, 600}));
}

TEST_F(AttentionTest, FailedWritesAreNotRepeatedForAnUnchangedLevel) {
  fake.brightness.acceptWrites = false;
  attention->start(std::nullopt, Style::steady);
  fake.clock.advance(5);
  EXPECT_EQ(levelWrites().size(), 1u);
}

TEST_F(AttentionTest, TicksEndWithTheObject) {
  attention->start(std::nullopt, Style::breathing);
  attention.reset();
  fake.clock.advance(5);
  EXPECT_EQ(levelWrites().size(), 1u);
  EXPECT_EQ(fake.clock.pendingCount(), 0u);
}

}  // namespace
