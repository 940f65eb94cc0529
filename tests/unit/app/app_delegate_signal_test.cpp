// Attention-signal requests reaching the delegate: the tool's notification payload and URL commands.
#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include "unit/app/app_delegate_fixture.h"

namespace {

// --- Requests ----------------------------------------------------------------------------------

TEST_F(AppDelegateTest, SignalPayloadRules) {
  store("signalStyle", "steady");
  launch();
  Attention& attention = *delegate->attention();
  auto firstLevel = [this](std::size_t from) {
    auto mappings = fake.brightness.writesOf(kMappingKey);
    return (*tableFromPlist(mappings.at(from)))[0][1];
  };

  deliverSignal({});
  EXPECT_TRUE(attention.isActive()) << "no action means start";
  deliverSignal({{"action", "stop"}});
  EXPECT_FALSE(attention.isActive());

  deliverSignal({{"action", 7}, {"message", std::string(200, 'x')}});
  EXPECT_TRUE(attention.isActive()) << "an action that is not a string means start";
  EXPECT_EQ(attention.message(), std::string(80, 'x'));

  deliverSignal({{"action", "STOP"}, {"message", 3}});
  EXPECT_TRUE(attention.isActive()) << "only exactly \"stop\" stops";
  EXPECT_EQ(attention.message(), std::nullopt);
  deliverSignal({{"action", "stop"}});

  auto from = fake.brightness.writesOf(kMappingKey).size();
  deliverSignal({{"style", "double"}});
  EXPECT_DOUBLE_EQ(firstLevel(from), 500) << "\"double\" is no style: the stored steady style is used";
  deliverSignal({{"action", "stop"}});

  from = fake.brightness.writesOf(kMappingKey).size();
  deliverSignal({{"style", "doublePulse"}});
  EXPECT_DOUBLE_EQ(firstLevel(from), 600);
}

TEST_F(AppDelegateTest, UrlCommands) {
  launch();
  Attention& attention = *delegate->attention();

  delegate->openURLs({"halomark://signal/stop/"});
  EXPECT_TRUE(attention.isActive()) << "only /stop exactly stops";
  delegate->openURLs({"halomark://signal/stop"});
  EXPECT_FALSE(attention.isActive());

  delegate->openURLs({"halomark://signal?message=" + std::string(100, 'm'), "halomark://signal/stop"});
  EXPECT_FALSE(attention.isActive()) << "several URLs run in order";

  delegate->openURLs({"halomark://signal?message=" + std::string(100, 'm')});
  EXPECT_EQ(attention.message(), std::string(80, 'm'));
  delegate->openURLs({"halomark://signal/stop"});

  delegate->openURLs({"https://signal?message=x", "halomark://other?message=x", "HALOMARK://signal"});
  EXPECT_FALSE(attention.isActive());

  // Stopping while nothing signals writes nothing.
  auto writes = writeCount();
  delegate->openURLs({"halomark://signal/stop"});
  EXPECT_EQ(writeCount(), writes);
}

TEST_F(AppDelegateTest, EveryRequestGoesThroughOneGate) {
  SignalRequest request{SignalRequest::Action::start, std::string(120, 'r'), Prefs::SignalStyle::steady};
  delegate->requestSignal(request);
  EXPECT_EQ(writeCount(), 0u) << "nothing before launch";

  launch();
  Attention& attention = *delegate->attention();
  delegate->requestSignal(request);
  EXPECT_TRUE(attention.isActive());
  EXPECT_EQ(attention.message(), std::string(80, 'r'));
  EXPECT_DOUBLE_EQ((*tableFromPlist(fake.brightness.writesOf(kMappingKey).back()))[0][1], 500)
      << "the request's own style";
  delegate->requestSignal({SignalRequest::Action::stop, std::nullopt, std::nullopt});
  EXPECT_FALSE(attention.isActive());
}

// While it runs, the signal keeps the logo whatever else applies: a tool's change, an automation
// event, a change of the style in Settings. Its end applies the effective setting.
TEST_F(AppDelegateTest, TheSignalKeepsTheLogoUntilItStops) {
  store("signalStyle", "steady");
  store("offOnBattery", true);
  launch();
  deliverSignal({{"message", "A"}});
  auto level = [this] { return (*tableFromPlist(fake.brightness.properties[kMappingKey]))[0][1]; };
  ASSERT_DOUBLE_EQ(level(), 500);
  auto writes = fake.brightness.writes.size();

  store("setting", "fixed");
  store("fixedNits", 80.0);
  fake.notifications.deliver(Prefs::changedNotification());
  fake.powerSources.state = PowerSourcesSnapshot{"Battery Power", {}};
  fake.events.deliver(SystemEvent::powerSourceChanged);
  delegate->apply();
  fake.clock.advance(5);
  EXPECT_EQ(fake.brightness.writes.size(), writes) << "nothing writes over the signal";
  EXPECT_DOUBLE_EQ(level(), 500);
  EXPECT_TRUE(delegate->isSignaling());

  fake.powerSources.state = PowerSourcesSnapshot{"AC Power", {}};
  deliverSignal({{"action", "stop"}});
  EXPECT_EQ(installed(kMappingKey), LogoController::flatMapping(80)) << "the stop applies the tool's change";
}

}  // namespace
