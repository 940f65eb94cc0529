#include "hooks/claude_hook.h"

#include <gtest/gtest.h>

#include "unit/hooks/temporary_home.h"

namespace {

using nlohmann::json;

constexpr const char* kBundle = "/Applications/Halomark.app";
const std::string kStart =
    "\"/Applications/Halomark.app/Contents/MacOS/Halomark\" signal start --from claude-code";
const std::string kStop =
    "\"/Applications/Halomark.app/Contents/MacOS/Halomark\" signal stop --from claude-code";
const std::string kLegacy =
    "\"/Applications/Orrin.app/Contents/MacOS/Orrin\" signal start --from claude-code";

json group(const std::string& command) {
  return {{"hooks", json::array({{{"type", "command"}, {"command", command}}})}};
}

class ClaudeHookTest : public ::testing::Test {
 protected:
  void install(const std::string& bundle = kBundle) { ClaudeHook::install(bundle, home.files, home.home); }
  void remove() { ClaudeHook::remove(home.files, home.home); }
  bool installed() { return ClaudeHook::isInstalled(home.home); }
  TemporaryHome home;
};

TEST(ClaudeHookCommandLine, QuotesTheBundleExecutableAndEndsWithItsOrigin) {
  EXPECT_EQ(ClaudeHook::command("start", kBundle), kStart);
  EXPECT_EQ(ClaudeHook::command("stop", "/Applications/Halomark.app/"), kStop);
  // Characters the shell would still read inside double quotes reach it escaped.
  EXPECT_EQ(ClaudeHook::command("start", "/home/a \"b\" $HOME `x` \\c/Halomark.app"),
            "\"/home/a \\\"b\\\" \\$HOME \\`x\\` \\\\c/Halomark.app/Contents/MacOS/Halomark\" signal start "
            "--from claude-code");
  for (const char* bundle : {kBundle, "/home/a \"b\" $HOME/Halomark.app"}) {
    EXPECT_NE(ClaudeHook::command("start", bundle).find(ClaudeHook::kMarker), std::string::npos) << bundle;
  }
}

TEST(ClaudeHookCleaning, KeepsEverythingThatIsNotAManagedHook) {
  std::vector<std::string_view> both{ClaudeHook::kMarker, ClaudeHook::kLegacyMarker};
  EXPECT_EQ(ClaudeHook::withoutManagedHooks(json(), both), json::array());
  EXPECT_EQ(ClaudeHook::withoutManagedHooks("text", both), json::array());
  EXPECT_EQ(ClaudeHook::withoutManagedHooks(json::object(), both), json::array());

  json mixed = {{"matcher", "Bash"},
                {"hooks", json::array({{{"type", "command"}, {"command", "say hi"}, {"timeout", 5}},
                                       {{"type", "command"}, {"command", kStart}},
                                       {{"type", "command"}, {"command", 42}},
                                       "not a hook"})}};
  json value = json::array({group(kLegacy),
                            mixed,
                            {{"matcher", ""}},
                            {{"hooks", json::array()}},
                            {{"hooks", "not a list"}},
                            7,
                            group("echo last")});
  json expected =
      json::array({{{"matcher", "Bash"},
                    {"hooks", json::array({{{"type", "command"}, {"command", "say hi"}, {"timeout", 5}},
                                           {{"type", "command"}, {"command", 42}},
                                           "not a hook"})}},
                   {{"hooks", "not a list"}},
                   7,
                   group("echo last")});
  EXPECT_EQ(ClaudeHook::withoutManagedHooks(value, both), expected);

  // With the current marker only, the earlier product's hook stays.
  EXPECT_EQ(ClaudeHook::withoutManagedHooks(json::array({group(kLegacy)}), {ClaudeHook::kMarker}),
            json::array({group(kLegacy)}));
}

TEST_F(ClaudeHookTest, FreshInstallCreatesTheFileWithSortedKeysAndPlainSlashes) {
  EXPECT_FALSE(installed());
  install();
  EXPECT_FALSE(home.hasBackup());
  EXPECT_EQ(
      home.settingsText(),
      "{\n"
      "  \"hooks\": {\n"
      "    \"Notification\": [\n"
      "      {\n"
      "        \"hooks\": [\n"
      "          {\n"
      "            \"command\": \"\\\"/Applications/Halomark.app/Contents/MacOS/Halomark\\\" signal start "
      "--from claude-code\",\n"
      "            \"type\": \"command\"\n"
      "          }\n"
      "        ]\n"
      "      }\n"
      "    ],\n"
      "    \"UserPromptSubmit\": [\n"
      "      {\n"
      "        \"hooks\": [\n"
      "          {\n"
      "            \"command\": \"\\\"/Applications/Halomark.app/Contents/MacOS/Halomark\\\" signal stop "
      "--from claude-code\",\n"
      "            \"type\": \"command\"\n"
      "          }\n"
      "        ]\n"
      "      }\n"
      "    ]\n"
      "  }\n"
      "}\n");
  EXPECT_TRUE(installed());
}

TEST_F(ClaudeHookTest, InstallingAgainLeavesOneManagedGroupPerEvent) {
  home.writeSettings(R"({"model": "opus"})");
  install();
  std::string first = home.settingsText();
  std::string backupOfOriginal = TemporaryHome::read(home.backup);
  install();
  EXPECT_EQ(home.settingsText(), first);
  // Nothing changed, so nothing was written and the backup still holds the user's own file.
  EXPECT_EQ(home.files.written.size(), 1u);
  EXPECT_EQ(TemporaryHome::read(home.backup), backupOfOriginal);

  // The app moved: its hooks follow it, still one per event.
  install("/opt/Halomark.app");
  json hooks = home.settingsJson()["hooks"];
  EXPECT_EQ(hooks["Notification"], json::array({group(ClaudeHook::command("start", "/opt/Halomark.app"))}));
  EXPECT_EQ(hooks["UserPromptSubmit"],
            json::array({group(ClaudeHook::command("stop", "/opt/Halomark.app"))}));
  EXPECT_EQ(home.settingsJson()["model"], "opus");
}

TEST_F(ClaudeHookTest, MixedGroupKeepsTheUsersHook) {
  json userHook = {{"type", "command"}, {"command", "notify-send Claude"}, {"timeout", 10}};
  json settings = {
      {"hooks",
       {{"Notification",
         json::array({{{"matcher", ""},
                       {"hooks", json::array({{{"type", "command"}, {"command", kStart}}, userHook})}}})}}}};
  home.writeSettings(settings.dump());
  // Installed means a group of Halomark's own: this one stays for the user's hook.
  EXPECT_FALSE(installed());

  install();
  EXPECT_TRUE(installed());
  json cleanedGroup = {{"matcher", ""}, {"hooks", json::array({userHook})}};
  EXPECT_EQ(home.settingsJson()["hooks"]["Notification"], json::array({cleanedGroup, group(kStart)}));

  remove();
  EXPECT_EQ(home.settingsJson(), json({{"hooks", {{"Notification", json::array({cleanedGroup})}}}}));
  EXPECT_FALSE(installed());
}

TEST_F(ClaudeHookTest, EarlierVersionsHooksAreReplacedAndStopIsCleaned) {
  json settings = {
      {"hooks",
       {{"Notification", json::array({group(kLegacy)})},
        {"Stop", json::array({group("\"/Applications/Halomark.app/Contents/MacOS/Halomark\" signal "
                                    "start --from claude-code")})},
        {"SubagentStop", json::array({group(kLegacy)})}}}};
  home.writeSettings(settings.dump());
  // Only the current executable's hook counts as installed.
  EXPECT_FALSE(installed());

  install();
  json hooks = home.settingsJson()["hooks"];
  EXPECT_FALSE(hooks.contains("Stop"));
  EXPECT_EQ(hooks["Notification"], json::array({group(kStart)}));
  EXPECT_EQ(hooks["UserPromptSubmit"], json::array({group(kStop)}));
  // Events the editor doesn't manage are left alone, whatever they hold.
  EXPECT_EQ(hooks["SubagentStop"], json::array({group(kLegacy)}));

  // A user's own Stop hooks stay, on install and on remove.
  json withUserStop = home.settingsJson();
  withUserStop["hooks"]["Stop"] = json::array({group(kLegacy), group("afplay done.aiff")});
  home.writeSettings(withUserStop.dump());
  install();
  EXPECT_EQ(home.settingsJson()["hooks"]["Stop"], json::array({group("afplay done.aiff")}));
  remove();
  EXPECT_EQ(home.settingsJson()["hooks"], json({{"Stop", json::array({group("afplay done.aiff")})},
                                                {"SubagentStop", json::array({group(kLegacy)})}}));
}

TEST_F(ClaudeHookTest, RemoveWritesNothingWhenThereIsNothingToTakeOut) {
  // No file: nothing is created.
  remove();
  EXPECT_FALSE(std::filesystem::exists(home.settings));

  const std::string noHooks = "{ \"model\" : \"sonnet\",\n\t\"env\": {\"A\": \"1\"} }";
  home.writeSettings(noHooks);
  remove();
  const std::string userHooks =
      R"({"hooks": {"Stop": [{"hooks": [{"type": "command", "command": "true"}]}]}})";
  home.writeSettings(userHooks);
  remove();
  home.writeSettings(R"({"hooks": "off"})");
  remove();
  EXPECT_EQ(home.settingsText(), R"({"hooks": "off"})");
  EXPECT_TRUE(home.files.written.empty());
  EXPECT_FALSE(home.hasBackup());
}

TEST_F(ClaudeHookTest, RemoveThatEmptiesEveryEventDropsTheHooksMember) {
  home.writeSettings(R"({"model": "opus", "hooks": {"Stop": []}})");
  install();
  remove();
  EXPECT_EQ(home.settingsJson(), json({{"model", "opus"}}));
  EXPECT_TRUE(home.hasBackup());

  // An earlier version's hooks, on Stop among them, go without an install first.
  json earlier = {{"model", "opus"},
                  {"hooks",
                   {{"Stop", json::array({group(kLegacy), group(kStop)})},
                    {"Notification", json::array({group(kLegacy)})}}}};
  home.writeSettings(earlier.dump());
  remove();
  EXPECT_EQ(home.settingsJson(), json({{"model", "opus"}}));
  EXPECT_EQ(home.files.written.size(), 3u);
}

TEST_F(ClaudeHookTest, NotificationMissingOrMalformedReadsAsNotInstalled) {
  home.writeSettings(json({{"hooks", {{"UserPromptSubmit", json::array({group(kStop)})}}}}).dump());
  EXPECT_FALSE(installed());
  home.writeSettings(json({{"hooks", {{"Notification", group(kStart)}}}}).dump());
  EXPECT_FALSE(installed());
  home.writeSettings(json({{"hooks", json::array({group(kStart)})}}).dump());
  EXPECT_FALSE(installed());
  // A group without hooks drops out of the count too, so it reads as installed.
  home.writeSettings(json({{"hooks", {{"Notification", json::array({{{"matcher", ""}}})}}}}).dump());
  EXPECT_TRUE(installed());
  home.writeSettings(
      json({{"hooks", {{"Notification", json::array({"junk", group("echo"), group(kStart)})}}}}).dump());
  EXPECT_TRUE(installed());
}

TEST_F(ClaudeHookTest, DeeplyNestedValuesDoNotHideOrBreakTheInstalledCheck) {
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  const std::string userHook = R"({"type": "command", "command": "echo", "extra": )" + deep + "}";
  home.writeSettings(R"({"hooks": {"Notification": [{"hooks": [)" + userHook + "]}]}}");
  EXPECT_FALSE(installed());
  home.writeSettings(R"({"hooks": {"Notification": [{"hooks": [)" + userHook + "]}, " + group(kStart).dump() +
                     "]}}");
  EXPECT_TRUE(installed());
}

TEST_F(ClaudeHookTest, InstallReplacesAHooksMemberOfAnotherKindButKeepsOtherEventsValues) {
  home.writeSettings(R"({"hooks": ["old"]})");
  install();
  EXPECT_TRUE(installed());

  home.writeSettings(R"({"hooks": {"Stop": "user text", "Notification": "user text"}})");
  install();
  json hooks = home.settingsJson()["hooks"];
  EXPECT_EQ(hooks["Stop"], "user text");
  EXPECT_EQ(hooks["Notification"], json::array({group(kStart)}));
  remove();
  EXPECT_EQ(home.settingsJson(), json({{"hooks", {{"Stop", "user text"}}}}));
}

}  // namespace
