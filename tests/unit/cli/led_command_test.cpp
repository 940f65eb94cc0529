#include <gtest/gtest.h>

#include "fakes/cli_harness.h"
#include "formats/app_identifier.h"

namespace {

class LedCommandTest : public ::testing::Test, protected CliHarness {
 protected:
  LedCommandTest() {
    fake.logoHardware.offered = {{"dell::kbd_backlight", 3, false, false},
                                 {"input3::capslock", 1, false, false},
                                 {"tpacpi::lid_logo_dot", 1, true, true}};
  }
  int run(const std::vector<std::string>& arguments) { return CLI::run(arguments, context); }
  PlistDictionary& stored() { return fake.preferences.domains[kAppIdentifier]; }
};

TEST_F(LedCommandTest, ListsEveryLightWithItsRangeAndWhatItIs) {
  EXPECT_EQ(run({"led"}), 0);
  EXPECT_EQ(out.str(),
            "dell::kbd_backlight   0-3\n"
            "input3::capslock      on/off\n"
            "tpacpi::lid_logo_dot  on/off  logo, in use\n");
  out.str("");
  EXPECT_EQ(run({"LED", "list"}), 0) << "the command's name is case-insensitive";
  EXPECT_NE(out.str().find("tpacpi::lid_logo_dot"), std::string::npos);

  out.str("");
  fake.logoHardware.offered.clear();
  EXPECT_EQ(run({"led", "list"}), 0);
  EXPECT_EQ(out.str(), "No lights found (the kernel's LED class lists none).\n");
}

TEST_F(LedCommandTest, UsesOnlyAListedLightAndRestartsARunningApplication) {
  EXPECT_EQ(run({"led", "use", "../../etc/passwd"}), 1);
  EXPECT_EQ(err.str(), "halomark: there is no light named ../../etc/passwd (halomark led list shows them)\n");
  EXPECT_FALSE(stored().count("logoLight"));

  fake.instances.running = true;
  EXPECT_EQ(run({"led", "use", "dell::kbd_backlight"}), 0);
  EXPECT_EQ(stored()["logoLight"], "dell::kbd_backlight");
  EXPECT_TRUE(fake.instances.quitRequested) << "the application takes its light when it starts";
  EXPECT_EQ(out.str(), "Halomark drives dell::kbd_backlight as the logo.\n");

  out.str("");
  EXPECT_EQ(run({"led", "use", "auto"}), 0);
  EXPECT_FALSE(stored().count("logoLight"));
  EXPECT_EQ(out.str(), "Halomark drives the first light whose name says logo.\n");
}

TEST_F(LedCommandTest, OtherFormsAreUsageErrors) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"led", "use"}, {"led", "pick", "x"}, {"led", "use", "a", "b"}}) {
    err.str("");
    EXPECT_EQ(run(arguments), 2);
    EXPECT_EQ(err.str(), "halomark: usage: halomark led [list] | halomark led use <name>|auto\n");
  }
}

TEST_F(LedCommandTest, StatusAddsOneAccessLineWhenTheLightCannotBeWritten) {
  fake.logoHardware.advice = "Halomark may not set x::logo.";
  EXPECT_EQ(run({"status"}), 0);
  EXPECT_NE(out.str().find("\nAccess:       Halomark may not set x::logo.\nHalomark app: "),
            std::string::npos)
      << out.str();
}

}  // namespace
