#include "automation/event_observation.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

class EventObservationTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  std::vector<std::string> log;
  std::shared_ptr<void> observe() {
    return Power::observe([this] { log.push_back("handler"); }, fake.platform);
  }
};

TEST_F(EventObservationTest, SubscribesInOrder) {
  auto token = observe();
  std::vector<SystemEvent> expected{SystemEvent::powerSourceChanged,
                                    SystemEvent::powerStateChanged,
                                    SystemEvent::screenParametersChanged,
                                    SystemEvent::applicationLaunched,
                                    SystemEvent::applicationTerminated,
                                    SystemEvent::applicationActivated,
                                    SystemEvent::screenLocked,
                                    SystemEvent::screenUnlocked};
  EXPECT_EQ(fake.events.subscriptions, expected);
}

TEST_F(EventObservationTest, EachEventRunsTheHandlerOnceLater) {
  auto token = observe();
  fake.events.deliver(SystemEvent::screenLocked);
  EXPECT_TRUE(log.empty()) << "the handler must not run inside the delivery";
  fake.clock.runPending();
  EXPECT_EQ(log.size(), 1u);
  fake.clock.runPending();
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(EventObservationTest, BurstsGiveOneRunEachInArrivalOrder) {
  auto token = observe();
  fake.events.deliver(SystemEvent::applicationLaunched);
  fake.clock.post([this] { log.push_back("between"); });
  fake.events.deliver(SystemEvent::applicationActivated);
  fake.events.deliver(SystemEvent::powerSourceChanged);
  fake.clock.runPending();
  EXPECT_EQ(log, (std::vector<std::string>{"handler", "between", "handler", "handler"}));
}

TEST_F(EventObservationTest, MissingSourcesAreSkippedAndTheOthersStillWork) {
  fake.events.missing = {SystemEvent::powerSourceChanged, SystemEvent::applicationActivated};
  auto token = observe();
  EXPECT_EQ(fake.events.subscriptions.size(), 6u);
  fake.events.deliver(SystemEvent::powerSourceChanged);
  fake.events.deliver(SystemEvent::screenUnlocked);
  fake.events.deliver(SystemEvent::powerStateChanged);
  fake.clock.runPending();
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(EventObservationTest, DroppingTheTokenEndsNothing) {
  observe().reset();
  fake.events.deliver(SystemEvent::screenParametersChanged);
  fake.clock.runPending();
  EXPECT_EQ(log.size(), 1u);
}

}  // namespace
