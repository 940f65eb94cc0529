#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "hooks/claude_hook.h"
#include "hooks/settings_json.h"
#include "unit/hooks/temporary_home.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

constexpr const char* kBundle = "/Applications/Halomark.app";

// A settings file as people keep them: permissions, environment, model, status line and hooks of
// their own with matchers and timeouts, plus numbers and strings that are easy to mangle.
const std::string kRealisticSettings = R"json({
  "$schema": "https://json.schemastore.org/claude-code-settings.json",
  "model": "claude-opus-4-1",
  "permissions": {
    "allow": ["Bash(npm run lint)", "Read(~/.zshrc)", "WebFetch(domain:example.com)"],
    "deny": ["Read(./.env)", "Read(./secrets/**)"],
    "defaultMode": "acceptEdits"
}
,
  "env": {"CLAUDE_CODE_ENABLE_TELEMETRY": "0", "PATH_HINT": "C:\\Tools\\bin", "GREETING": "h\u00e9llo \ud83d\ude80\t\"quoted\""},
  "statusLine": {"type": "command", "command": "~/.claude/statusline.sh", "padding": 0},
  "cleanupPeriodDays": 30,
  "includeCoAuthoredBy": false,
  "numbers": [1.0, 1, 0.1, -0.0, 2.5e-7, 1e+20, 9007199254740993, 18446744073709551615,
              -9223372036854775808, 1.7976931348623157e308, 5e-324, 0.30000000000000004],
  "empty": {"object": {}, "array": [], "string": "", "null": null},
  "hooks": {
  "PreToolUse": [
      {"matcher": "Bash", "hooks": [{"type": "command", "command": "/usr/local/bin/check-bash", "timeout": 30}]},
      {"matcher": "Edit|Write", "hooks": [{"type": "command", "command": "prettier --write \"$FILE\""}]}
    ],
    "Notification": [
      {"matcher": "", "hooks": [{"type": "command", "command": "notify-send 'Claude Code' waiting", "timeout": 5}]}
    ],
    "Stop": [{"hooks": [{"type": "command", "command": "paplay /usr/share/sounds/done.oga"}]}]
}
}
)json";

class SettingsFileTest : public ::testing::Test {
 public:
  void install() { ClaudeHook::install(kBundle, home.files, home.home); }
  void remove() { ClaudeHook::remove(home.files, home.home); }

 protected:
  TemporaryHome home;
};

TEST_F(SettingsFileTest, InstallThenRemoveGivesBackTheUsersOwnContent) {
  home.writeSettings(kRealisticSettings);
  json original = json::parse(kRealisticSettings);

  install();
  json installed = home.settingsJson();
  EXPECT_TRUE(ClaudeHook::isInstalled(home.home));
  EXPECT_EQ(TemporaryHome::read(home.backup), kRealisticSettings);
  json withoutHooks = installed;
  withoutHooks.erase("hooks");
  json originalWithoutHooks = original;
  originalWithoutHooks.erase("hooks");
  EXPECT_EQ(withoutHooks, originalWithoutHooks);
  EXPECT_EQ(installed["hooks"]["PreToolUse"], original["hooks"]["PreToolUse"]);
  EXPECT_EQ(installed["hooks"]["Stop"], original["hooks"]["Stop"]);
  EXPECT_EQ(installed["hooks"]["Notification"][0], original["hooks"]["Notification"][0]);

  remove();
  json restored = home.settingsJson();
  EXPECT_EQ(restored, original);
  // Integers stay integers and reals stay reals, with every digit.
  const json& numbers = restored["numbers"];
  EXPECT_TRUE(numbers[0].is_number_float());
  EXPECT_TRUE(numbers[1].is_number_integer());
  EXPECT_EQ(numbers[6].get<long long>(), 9007199254740993LL);
  EXPECT_EQ(numbers[7].get<unsigned long long>(), 18446744073709551615ULL);
  EXPECT_TRUE(std::signbit(numbers[3].get<double>()));
  EXPECT_NE(
      home.settingsText().find("\"$schema\": \"https://json.schemastore.org/claude-code-settings.json\""),
      std::string::npos);
  EXPECT_NE(home.settingsText().find("h\u00e9llo \U0001F680"), std::string::npos);
}

TEST_F(SettingsFileTest, SymbolicLinkStaysALinkAndModeBitsAreKept) {
  std::string target = home.home + "/dotfiles/claude/settings.json";
  TemporaryHome::write(target, kRealisticSettings);
  fs::create_directories(fs::path(home.settings).parent_path());
  fs::create_symlink("../dotfiles/claude/settings.json", home.settings);
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);

  install();
  EXPECT_TRUE(fs::is_symlink(home.settings));
  EXPECT_EQ(fs::read_symlink(home.settings), "../dotfiles/claude/settings.json");
  EXPECT_TRUE(json::parse(TemporaryHome::read(target))["hooks"].contains("UserPromptSubmit"));
  // The backup holds the settings themselves, not a second link, and is as private as they are.
  EXPECT_FALSE(fs::is_symlink(home.backup));
  EXPECT_EQ(TemporaryHome::read(home.backup), kRealisticSettings);
  EXPECT_EQ(fs::status(home.backup).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  remove();
  EXPECT_TRUE(fs::is_symlink(home.settings));
  EXPECT_EQ(json::parse(TemporaryHome::read(target)), json::parse(kRealisticSettings));
}

TEST_F(SettingsFileTest, FilesThatAreNotAJsonObjectAreNeverOverwritten) {
  struct Case {
    std::string bytes;
    std::string description;
  };
  std::vector<Case> cases{
      {"[1, 2, 3]", "Couldn't read Claude Code's settings: it isn't a JSON object"},
      {"\"text\"", "Couldn't read Claude Code's settings: it isn't a JSON object"},
      {"{\"model\": \"opus\",}", home.settings +
                                     ": parse error at line 1, column 18: syntax error while parsing "
                                     "object key - unexpected '}'; expected string literal"},
      {"{\"model\": \"op\xff\"}", home.settings + ": parse error"},
      {"{\"a\": \"\\ud800\"}", home.settings + ": parse error"},
      {"{\"a\": 1e400}", home.settings + ": number overflow"},
      {" ", home.settings + ": parse error"},
      {"// comment\n{}", home.settings + ": parse error"},
      {"{\"id\": 123456789012345678901234567890}",
       "Couldn't read Claude Code's settings: the number 123456789012345678901234567890 can't be kept "
       "exactly"},
      {"{\"tiny\": 1e-400}", "Couldn't read Claude Code's settings: the number 1e-400 can't be kept exactly"},
      {std::string(600, '[') + std::string(600, ']'),
       "Couldn't read Claude Code's settings: it's nested too deeply"},
      {"{\"a\": \"" + std::string(ClaudeHook::kMaxSettingsBytes, 'x') + "\"}",
       "Couldn't read Claude Code's settings: it's larger than 4 MB"},
  };
  for (const auto& c : cases) {
    home.writeSettings(c.bytes);
    for (auto edit : {&SettingsFileTest::install, &SettingsFileTest::remove}) {
      try {
        (this->*edit)();
        ADD_FAILURE() << "accepted " << c.bytes;
      } catch (const std::runtime_error& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind(c.description, 0), 0u) << failure.what();
      }
    }
    EXPECT_EQ(home.settingsText(), c.bytes);
  }
  EXPECT_TRUE(home.files.written.empty());
  EXPECT_FALSE(home.hasBackup());

  home.writeSettings("[1, 2, 3]");
  EXPECT_THROW(ClaudeHook::load(home.home), ClaudeHook::HookError);
  EXPECT_FALSE(ClaudeHook::isInstalled(home.home));
  home.writeSettings("{");
  EXPECT_THROW(ClaudeHook::load(home.home), ClaudeHook::PlatformError);
  EXPECT_FALSE(ClaudeHook::isInstalled(home.home));
}

TEST_F(SettingsFileTest, ReadingIsFaithfulToWhatJsonAllows) {
  EXPECT_EQ(ClaudeHook::load(home.home), json::object());
  home.writeSettings("");
  EXPECT_EQ(ClaudeHook::load(home.home), json::object());
  home.writeSettings("\xEF\xBB\xBF{\"model\": \"opus\"}");
  EXPECT_EQ(ClaudeHook::load(home.home), json({{"model", "opus"}}));
  // As in JavaScript's reader, the last of two equal keys wins.
  home.writeSettings(R"({"model": "opus", "model": "sonnet"})");
  EXPECT_EQ(ClaudeHook::load(home.home), json({{"model", "sonnet"}}));
  // Wide numbers that a double holds exactly are fine, and so is nesting a person would write.
  home.writeSettings("{\"big\": 100000000000000000000000, \"deep\": " + std::string(100, '[') +
                     std::string(100, ']') + "}");
  EXPECT_EQ(ClaudeHook::load(home.home)["big"], json(1e23));

  // Still installed when the file holds a number the editor won't rewrite.
  ClaudeHook::install(kBundle, home.files, home.home);
  json settings = home.settingsJson();
  settings["id"] = 0;
  home.writeSettings(
      settings.dump().replace(settings.dump().find("\"id\":0"), 6, "\"id\":123456789012345678901234567890"));
  EXPECT_TRUE(ClaudeHook::isInstalled(home.home));
}

TEST_F(SettingsFileTest, BackupIsTakenBeforeEveryWriteAndItsFailureStopsTheWrite) {
  home.writeSettings(R"({"model": "opus"})");
  install();
  EXPECT_EQ(TemporaryHome::read(home.backup), R"({"model": "opus"})");
  std::string installed = home.settingsText();
  remove();
  EXPECT_EQ(TemporaryHome::read(home.backup), installed);

  // A backup that can't be replaced (here a folder in its place) leaves the settings as they are.
  fs::remove(home.backup);
  TemporaryHome::write(home.backup + "/keep", "x");
  std::string before = home.settingsText();
  home.files.written.clear();
  try {
    install();
    ADD_FAILURE() << "installed without a backup";
  } catch (const ClaudeHook::PlatformError& failure) {
    EXPECT_EQ(std::string(failure.what())
                  .rfind("couldn't back up " + home.settings + " to " + home.backup + ": ", 0),
              0u)
        << failure.what();
  }
  EXPECT_TRUE(home.files.written.empty());
  EXPECT_EQ(home.settingsText(), before);
}

TEST_F(SettingsFileTest, PlatformFailuresCarryTheirDescriptions) {
  auto failureOf = [&](auto operation) -> std::string {
    try {
      operation();
    } catch (const ClaudeHook::PlatformError& failure) {
      return failure.what();
    }
    return "no failure";
  };
  auto install = [&] { this->install(); };

  home.files.failWith = "couldn't write " + home.settings + ": No space left on device";
  EXPECT_EQ(failureOf(install), "couldn't write " + home.settings + ": No space left on device");
  home.files.failWith.reset();

  fs::create_directories(home.settings);
  EXPECT_EQ(failureOf(install), "couldn't read " + home.settings + ": Is a directory");
  EXPECT_FALSE(ClaudeHook::isInstalled(home.home));
  fs::remove(home.settings);

  // `.claude` is a file: there are no settings to read, and none can be written.
  fs::remove_all(fs::path(home.settings).parent_path());
  TemporaryHome::write(fs::path(home.settings).parent_path().string(), "");
  EXPECT_EQ(ClaudeHook::load(home.home), json::object());
  EXPECT_NO_THROW(remove());
  EXPECT_EQ(
      failureOf(install).rfind("couldn't create " + fs::path(home.settings).parent_path().string() + ": ", 0),
      0u);
  fs::remove(fs::path(home.settings).parent_path());

  // A folder name that isn't UTF-8 can't go into JSON; nothing is written.
  home.files.written.clear();
  EXPECT_EQ(failureOf([&] {
              ClaudeHook::install("/opt/Halo\xff/Halomark.app", home.files, home.home);
            }).rfind("couldn't write " + home.settings + ": invalid UTF-8 byte", 0),
            0u);
  EXPECT_TRUE(home.files.written.empty());
}

// Writing the backup runs out of space: the previous backup stays whole and nothing is half written.
TEST_F(SettingsFileTest, ABackupThatCannotBeWrittenKeepsThePreviousOne) {
  home.writeSettings(R"({"model": "opus"})");
  install();
  std::string previousBackup = TemporaryHome::read(home.backup);
  json grown = home.settingsJson();
  grown["padding"] = std::string(64 * 1024, 'x');
  home.writeSettings(grown.dump());
  std::string before = home.settingsText();
  home.files.written.clear();

  // A limit on file size fails writes past it just as a full disk does.
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previousLimit{};
  ::getrlimit(RLIMIT_FSIZE, &previousLimit);
  rlimit small = previousLimit;
  small.rlim_cur = 16 * 1024;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(remove(), ClaudeHook::PlatformError);
  ::setrlimit(RLIMIT_FSIZE, &previousLimit);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(TemporaryHome::read(home.backup), previousBackup);
  EXPECT_FALSE(fs::exists(home.backup + ".new"));
  EXPECT_EQ(home.settingsText(), before);
  EXPECT_TRUE(home.files.written.empty());
}

}  // namespace
