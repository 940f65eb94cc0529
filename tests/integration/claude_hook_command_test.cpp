#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kUserSettings = R"json({
  "model": "claude-sonnet-4-5",
  "permissions": {"allow": ["Bash(make test)", "Read(~/notes/**)"], "deny": ["Read(./.env)"]},
  "env": {"BASH_DEFAULT_TIMEOUT_MS": "600000", "RATIO": 0.1, "ONE": 1.0},
  "statusLine": {"type": "command", "command": "~/.claude/statusline.sh"},
  "hooks": {
    "PostToolUse": [{"matcher": "Edit|Write", "hooks": [{"type": "command", "command": "make fmt", "timeout": 60}]}],
    "Notification": [{"matcher": "", "hooks": [{"type": "command", "command": "notify-send Claude"}]}]
  }
}
)json";

void writeFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class ClaudeHookCommandIntegrationTest : public ::testing::Test {
 protected:
  std::string settings() const { return sandbox.home() + "/.claude/settings.json"; }
  std::string backup() const { return settings() + ".halomark-backup"; }
  std::string installedLines() const {
    return "Claude Code will now pulse the logo when it needs your permission or input.\n"
           "(Added to " +
           settings() + "; a backup is next to it.)\n";
  }
  static fs::perms mode(const std::string& path) { return fs::status(path).permissions() & fs::perms::all; }

  Sandbox sandbox;
};

TEST_F(ClaudeHookCommandIntegrationTest, InstallAndRemoveThroughTheCommandLink) {
  auto status = sandbox.run({"claude-hook"});
  EXPECT_EQ(status.status, 0);
  EXPECT_EQ(status.out, "Claude Code hooks: not installed\n");

  // A dotfile manager's link to a private file.
  std::string target = sandbox.home() + "/dotfiles/claude.json";
  writeFile(target, kUserSettings);
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directories(fs::path(settings()).parent_path());
  fs::create_symlink(target, settings());

  auto install = sandbox.run({"claude-hook", "install"});
  EXPECT_EQ(install.status, 0) << install.err;
  EXPECT_EQ(install.out, installedLines());
  EXPECT_EQ(install.err, "");
  EXPECT_TRUE(fs::is_symlink(settings()));
  EXPECT_EQ(mode(target), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(TempTree::read(backup()), kUserSettings);
  EXPECT_EQ(mode(backup()), fs::perms::owner_read | fs::perms::owner_write);

  std::string executable = fs::canonical(Sandbox::executable()).string();
  json hooks = json::parse(TempTree::read(target))["hooks"];
  EXPECT_EQ(hooks["Notification"].size(), 2u);
  EXPECT_EQ(hooks["Notification"][1]["hooks"][0]["command"],
            "\"" + executable + "\" signal start --from claude-code");
  EXPECT_EQ(hooks["UserPromptSubmit"][0]["hooks"][0]["command"],
            "\"" + executable + "\" signal stop --from claude-code");
  EXPECT_EQ(sandbox.run({"claude-hook", "status"}).out, "Claude Code hooks: installed\n");

  auto remove = sandbox.run({"CLAUDE-HOOK", "remove"});
  EXPECT_EQ(remove.status, 0) << remove.err;
  EXPECT_EQ(remove.out, "Removed Halomark's hooks from " + settings() + ".\n");
  EXPECT_TRUE(fs::is_symlink(settings()));
  EXPECT_EQ(json::parse(TempTree::read(target)), json::parse(kUserSettings));
  EXPECT_EQ(mode(target), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(sandbox.run({"claude-hook"}).out, "Claude Code hooks: not installed\n");
}

TEST_F(ClaudeHookCommandIntegrationTest, TheShellRunsTheHookFromAnAwkwardlyNamedFolder) {
  fs::path folder = sandbox.root() + "/Apps \"$HOME\" `x`";
  fs::create_directories(folder);
  fs::copy(Sandbox::bundle(), folder / "Halomark.app", fs::copy_options::recursive);
  std::string executable = fs::canonical(folder / "Halomark.app/Contents/MacOS/Halomark").string();
  auto install = sandbox.runProgram(executable, {"claude-hook", "install"});
  ASSERT_EQ(install.status, 0) << install.err;

  // Split the installed command line into words as the shell Claude Code runs it with does.
  std::string command =
      json::parse(TempTree::read(settings()))["hooks"]["Notification"][0]["hooks"][0]["command"];
  auto words =
      sandbox.runProgram("/bin/sh", {"-c", "eval \"set -- $1\"; printf '%s\\n' \"$@\"", "sh", command});
  EXPECT_EQ(words.out, executable + "\nsignal\nstart\n--from\nclaude-code\n");
}

TEST_F(ClaudeHookCommandIntegrationTest, FailuresLeaveTheSettingsFileUntouched) {
  auto usage = sandbox.run({"claude-hook", "Install"});
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.err, "usage: halomark claude-hook install|remove|status\n");

  auto nothing = sandbox.run({"claude-hook", "remove"});
  EXPECT_EQ(nothing.status, 0);
  EXPECT_EQ(nothing.out, "Removed Halomark's hooks from " + settings() + ".\n");
  EXPECT_FALSE(fs::exists(fs::path(settings()).parent_path()));

  writeFile(settings(), kUserSettings);
  // A copy of the executable outside any bundle has no app to point the hooks at.
  std::string loose = sandbox.root() + "/loose/halomark";
  fs::create_directories(fs::path(loose).parent_path());
  fs::copy_file(Sandbox::executable(), loose);
  auto outside = sandbox.runProgram(loose, {"claude-hook", "install"});
  EXPECT_EQ(outside.status, 1);
  EXPECT_EQ(outside.out, "");
  EXPECT_EQ(outside.err, "halomark: couldn't find the Halomark app\n");
  EXPECT_EQ(TempTree::read(settings()), kUserSettings);

  writeFile(settings(), "[{\"hooks\": {}}]");
  for (const char* action : {"install", "remove"}) {
    auto result = sandbox.run({"claude-hook", action});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "halomark: Couldn't read Claude Code's settings: it isn't a JSON object\n");
  }
  EXPECT_EQ(TempTree::read(settings()), "[{\"hooks\": {}}]");

  writeFile(settings(), "{\"model\": \"opus\"\n\"env\": {}}");
  auto unparsable = sandbox.run({"claude-hook", "install"});
  EXPECT_EQ(unparsable.status, 1);
  EXPECT_EQ(unparsable.err,
            "halomark: " + settings() +
                ": parse error at line 2, column 5: syntax error while parsing object - unexpected "
                "string literal; expected '}'\n");
  EXPECT_EQ(TempTree::read(settings()), "{\"model\": \"opus\"\n\"env\": {}}");
  EXPECT_FALSE(fs::exists(backup()));
}

}  // namespace
