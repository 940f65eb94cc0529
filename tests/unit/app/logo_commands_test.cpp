// The one road: every door of the application changes the logo through the delegate's commands,
// which store a change as one write, apply it once, and apply nothing when it could not be stored.
#include "app/logo_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fakes/fake_window_services.h"
#include "menubar/menu_actions.h"
#include "shortcuts/logo_light_actions.h"
#include "shortcuts/named_actions.h"
#include "unit/app/app_delegate_fixture.h"
#include "windows/settings_model.h"

namespace {

class LogoCommandsTest : public AppDelegateTest {
 protected:
  // What one change did: preference writes, and applies (each apply writes the mode once).
  struct Effect {
    int stores;
    std::size_t applies;
    bool operator==(const Effect&) const = default;
  };
  Effect run(const std::function<void()>& door) {
    int storesBefore = fake.preferences.writeCount;
    std::size_t appliesBefore = modeWrites().size();
    door();
    return {fake.preferences.writeCount - storesBefore, modeWrites().size() - appliesBefore};
  }
  PlistDictionary domain() { return fake.preferences.domains[kAppIdentifier]; }
};

TEST_F(LogoCommandsTest, AChangeIsStoredAsOneWriteAndAppliedOnce) {
  launch();
  LogoCommands& commands = delegate->commands();
  EXPECT_EQ(run([&] { EXPECT_TRUE(commands.set(Setting::fixed(80))); }), (Effect{1, 1}))
      << "setting, last on setting and nits together";
  EXPECT_EQ(domain().at("fixedNits"), 80.0);
  EXPECT_EQ(run([&] { EXPECT_TRUE(commands.toggle()); }), (Effect{1, 1}));
  EXPECT_EQ(delegate->prefs().setting(), Setting::off());
  EXPECT_EQ(run([&] { EXPECT_TRUE(commands.toggle()); }), (Effect{1, 1}));
  EXPECT_EQ(delegate->prefs().setting(), Setting::fixed(80)) << "back to the last on setting";
  EXPECT_EQ(run([&] { EXPECT_TRUE(commands.reset()); }), (Effect{1, 1}));
  EXPECT_EQ(domain().at("lastOn"), "automatic");
  EXPECT_EQ(domain().at("ignoreLimits"), true);

  EXPECT_EQ(run([&] { EXPECT_TRUE(commands.set(PrefKeys::offOnBattery, true)); }), (Effect{1, 1}));
  EXPECT_EQ(run([&] { EXPECT_TRUE(commands.set(PrefKeys::signalStyle, "steady")); }), (Effect{1, 0}))
      << "the signal's manner is stored, but the logo has nothing to show of it";
  EXPECT_EQ(run([&] { EXPECT_TRUE(commands.set(PrefKeys::quitBehavior, "keepOff")); }), (Effect{1, 0}));
}

TEST_F(LogoCommandsTest, AChangeThatCannotBeStoredLeavesEverythingAsItWas) {
  launch();
  LogoCommands& commands = delegate->commands();
  commands.set(Setting::fixed(70));
  auto before = domain();
  fake.preferences.refusesWrites = true;
  for (auto change : std::vector<std::function<bool()>>{
           [&] { return commands.set(Setting::fixed(44)); }, [&] { return commands.toggle(); },
           [&] { return commands.turnOn(); }, [&] { return commands.reset(); },
           [&] { return commands.set(PrefKeys::offWhenLocked, false); }}) {
    std::size_t applies = modeWrites().size();
    EXPECT_FALSE(change());
    EXPECT_EQ(modeWrites().size(), applies) << "nothing is applied";
  }
  EXPECT_EQ(domain(), before);
}

TEST_F(LogoCommandsTest, TheToolsCommandsTellTheApplicationInsteadOfApplying) {
  Prefs prefs(fake.platform.preferences);
  int told = 0;
  LogoCommands tool(prefs, fake.platform, [&] { ++told; });
  EXPECT_TRUE(tool.set(Setting::off()));
  EXPECT_TRUE(tool.set(PrefKeys::signalKeepDisplayOn, false));
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(fake.brightness.writes.empty()) << "the tool never writes the logo";
  fake.preferences.refusesWrites = true;
  EXPECT_FALSE(tool.turnOn());
  EXPECT_EQ(told, 1);
}

TEST_F(LogoCommandsTest, EveryDoorOfTheApplicationTakesTheOneRoad) {
  launch();
  MenuActions menu(*delegate, fake.platform);
  LogoLight::Actions shortcuts(delegate->commands());
  FakeWindowServices window;
  SettingsModel settings(*delegate, fake.platform, window.services);
  const std::vector<std::pair<const char*, std::function<void()>>> doors = {
      {"switch", [&] { menu.switchFlipped(false); }},
      {"mode", [&] { menu.modeChosen(1); }},
      {"preset", [&] { menu.presetChosen(2); }},
      {"native menu level", [&] { menu.levelChosen(40); }},
      {"menu rule", [&] { menu.toggleRule(MenuActions::Rule::onBattery); }},
      {"battery choice", [&] { menu.chooseBelow(20); }},
      {"alternate click", [&] { menu.statusItemClicked(MenuActions::Click::alternate); }},
      {"hot key", [&] { fake.hotKeys.press(); }},
      {"shortcut toggle", [&] { shortcuts.toggle(); }},
      {"shortcut on", [&] { shortcuts.turnOn(); }},
      {"shortcut off", [&] { shortcuts.turnOff(); }},
      {"shortcut set", [&] { shortcuts.set(Setting::Kind::fixed, 300); }},
      {"named action", [&] { LogoLight::runNamed(shortcuts, "toggle", {}); }},
      {"runner", [&] { LogoLight::runRunnerMatch(shortcuts, "turn-off"); }},
      {"settings rule",
       [&] { settings.setOffWithExternalDisplay(!settings.values().offWithExternalDisplay); }},
      {"settings quiet hours",
       [&] { settings.setQuietHoursStartHour(settings.values().quietHoursStartHour + 1); }},
      {"settings limits", [&] { settings.setIgnoreLimits(!settings.values().ignoreLimits); }},
  };
  for (const auto& [name, door] : doors) {
    fake.preferences.refusesWrites = true;
    auto before = domain();
    EXPECT_EQ(run(door), (Effect{1, 0})) << name << ": refused, nothing applied";
    EXPECT_EQ(domain(), before) << name;
    fake.preferences.refusesWrites = false;
    EXPECT_EQ(run(door), (Effect{1, 1})) << name << ": stored once, applied once";
  }
}

TEST_F(LogoCommandsTest, TheSliderStoresAtOnceAndAppliesOnceItRests) {
  launch();
  MenuActions menu(*delegate, fake.platform);
  auto effect = run([&] {
    menu.sliderMoved(0.3);
    menu.sliderMoved(0.5);
  });
  EXPECT_EQ(effect, (Effect{2, 0}));
  EXPECT_EQ(run([&] { fake.clock.advance(MenuActions::kSliderPauseSeconds); }), (Effect{0, 1}));
}

TEST_F(LogoCommandsTest, TheStatusSentenceNamesTheRuleHoldingTheLogoOff) {
  launch();
  LogoCommands& commands = delegate->commands();
  commands.set(Setting::fixed(80));
  EXPECT_EQ(commands.statusSentence(), "The logo is at a fixed 80 nits.");
  EXPECT_TRUE(commands.isLogoLit());
  commands.set(PrefKeys::offOnBattery, true);
  fake.powerSources.state = PowerSourcesSnapshot{"Battery Power", {}};
  EXPECT_EQ(commands.statusSentence(),
            "The logo is at a fixed 80 nits, but it's held off because of on battery.");
  EXPECT_FALSE(commands.isLogoLit());
  commands.set(Setting::off());
  EXPECT_EQ(commands.statusSentence(), "The logo is off.");
}

}  // namespace
