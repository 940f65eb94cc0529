// The shell snippets in real interactive bash, zsh and fish, typed into through a pseudo-terminal:
// long commands signal in `run`'s words, short and interactive ones start nothing, and the hooks
// the user had before still run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "integration/sandbox.h"
#include "integration/terminal.h"
#include "linux/xvfb_server.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << text;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Lets a command run past the one-second threshold while the test waits, as a person would.
void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

class ShellIntegrationTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    // Every call of the tool is logged: the snippet calls whatever started it, here this wrapper,
    // in a folder whose name the snippet must quote.
    tool = sandbox.home() + "/my tools/halomark-logged";
    writeFile(tool, "#!/bin/bash\nprintf '%s\\n' \"$*\" >>\"$HOME/tool-calls\"\nexec -a \"$0\" '" +
                        Sandbox::commandLink() + "' \"$@\"\n");
    ::chmod(tool.c_str(), 0755);
    sandbox.setEnvironment("TERM", "xterm");
    monitor = sandbox.spawn("/usr/bin/dbus-monitor",
                            {"--address", sandbox.busAddress(),
                             "type='signal',interface='app.halomark.Halomark',member='signal'"});
    ASSERT_TRUE(Sandbox::waitUntil([&] { return !sandbox.output(monitor).out.empty(); }, 5));
  }

  // The start-up file of `shell` with `before` ahead of the snippet.
  void writeStartup(const std::string& shell, const std::string& before) {
    if (shell == "bash") {
      writeFile(sandbox.home() + "/.bashrc",
                before + "eval \"$('" + tool + "' shell-init bash --after 1)\"\n");
    } else if (shell == "zsh") {
      writeFile(sandbox.home() + "/.zshrc", before + "eval \"$('" + tool + "' shell-init zsh --after 1)\"\n");
    } else {
      writeFile(sandbox.configHome() + "/fish/config.fish",
                before + "'" + tool + "' shell-init fish --after 1 | source\n");
    }
  }

  void start(const std::string& shell) {
    terminal = std::make_unique<Terminal>("/usr/bin/" + shell, std::vector<std::string>{"-i"},
                                          sandbox.environment(), sandbox.home());
    ASSERT_TRUE(terminal->started());
    ASSERT_TRUE(shows("ready")) << terminal->screen();
  }

  // Types a line that prints `text` (quoted apart, so the typed line does not show it) and waits
  // until the shell has printed it: everything typed before has ended.
  bool shows(const std::string& text) {
    terminal->type("echo \"" + text.substr(0, 1) + "\"\"" + text.substr(1) + "\"");
    return terminal->waitFor(text, 20);
  }

  // The messages of the signals posted so far, the harness's own echo lines aside (on a loaded
  // machine one of them could take a second).
  std::vector<std::string> posted() {
    std::vector<std::string> messages;
    std::istringstream lines(sandbox.output(monitor).out);
    for (std::string line; std::getline(lines, line);) {
      auto quote = line.find("string \"");
      if (quote == std::string::npos) continue;
      std::string text = line.substr(quote + 8, line.rfind('"') - quote - 8);
      if ((text.starts_with("Done: ") || text.starts_with("Failed (")) && !text.ends_with(": echo"))
        messages.push_back(text);
    }
    return messages;
  }

  bool wasPosted(const std::string& message) {
    return Sandbox::waitUntil(
        [&] {
          auto all = posted();
          return std::find(all.begin(), all.end(), message) != all.end();
        },
        10);
  }

  std::vector<std::string> toolCalls() {
    std::vector<std::string> calls;
    std::istringstream lines(readFile(sandbox.home() + "/tool-calls"));
    for (std::string line; std::getline(lines, line);) calls.push_back(line);
    return calls;
  }

  Sandbox sandbox;
  std::string tool;
  pid_t monitor = -1;
  std::unique_ptr<Terminal> terminal;
};

// What each shell had set up before the snippet: hooks that count their runs, and strict variables.
std::string priorHooks(const std::string& shell) {
  if (shell == "bash")
    return "set -u\n_pc=0 _dbg=0\nPROMPT_COMMAND='_pc=$((_pc+1))'\ntrap '_dbg=$((_dbg+1))' DEBUG\n";
  if (shell == "zsh")
    return "setopt nounset\n_pc=0 _pe=0\nprecmd() { _pc=$((_pc+1)) }\n"
           "_count_preexec() { _pe=$((_pe+1)) }\npreexec_functions+=(_count_preexec)\n";
  return "set -g _pe 0\nfunction _count_postexec --on-event fish_postexec\n  set -g _pe (math $_pe + "
         "1)\nend\n";
}

// A line that prints "hooks-ran" only when the prior hooks ran for the commands typed.
std::string hooksRan(const std::string& shell) {
  if (shell == "bash") return "(( _pc > 4 && _dbg > 4 )) && echo hooks-\"ran\"";
  if (shell == "zsh") return "(( _pc > 4 && _pe > 4 )) && echo hooks-\"ran\"";
  return "test $_pe -gt 4; and echo hooks-\"ran\"";
}

TEST_P(ShellIntegrationTest, LongCommandsSignalInRunsWordsAndNothingElseDoes) {
  const std::string shell = GetParam();
  writeStartup(shell, priorHooks(shell));
  start(shell);

  terminal->type("sleep 0.1");
  ASSERT_TRUE(shows("short-done"));
  // A pager left open past the threshold is still interactive by nature.
  terminal->type("less '" + sandbox.home() + "/tool-calls'");
  pause(1.3);
  terminal->press("q");
  ASSERT_TRUE(shows("pager-done"));

  terminal->type("sleep 1.2");
  ASSERT_TRUE(shows("sleep-done"));
  EXPECT_TRUE(wasPosted("Done: sleep")) << terminal->screen();
  terminal->type("sh -c 'sleep 1.2; exit 3'");
  ASSERT_TRUE(shows("sh-done"));
  EXPECT_TRUE(wasPosted("Failed (3): sh"));

  // A job stopped with Control-Z has not ended.
  terminal->type("sleep 7");
  pause(1.3);
  terminal->press("\x1a");
  ASSERT_TRUE(shows("stopped-done"));

  // The user's own list of interactive commands, read by the snippet at each prompt.
  terminal->type(shell == "fish" ? "set -g HALOMARK_INTERACTIVE_COMMANDS 'mytool sleep'"
                                 : "HALOMARK_INTERACTIVE_COMMANDS='mytool sleep'");
  terminal->type("sleep 1.2");
  ASSERT_TRUE(shows("listed-done"));
  // A compound line is named after its first command.
  terminal->type("true && sleep 1.2");
  ASSERT_TRUE(shows("compound-done"));
  EXPECT_TRUE(wasPosted("Done: true"));

  terminal->type(hooksRan(shell));
  EXPECT_TRUE(terminal->waitFor("hooks-ran", 10)) << terminal->screen();
  EXPECT_EQ(terminal->screen().find("unbound"), std::string::npos) << terminal->screen();
  EXPECT_EQ(terminal->screen().find("parameter not set"), std::string::npos) << terminal->screen();

  EXPECT_EQ(posted(), (std::vector<std::string>{"Done: sleep", "Failed (3): sh", "Done: true"}));
  // Nothing was started for the short commands: the tool ran for the snippet and for the five
  // long commands only.
  auto calls = toolCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "shell-init " + shell + " --after 1");
  std::vector<std::string> reported;
  for (const auto& call : calls) {
    auto line = call.find(" -- ");
    if (call.starts_with("shell-done ") && line != std::string::npos)
      reported.push_back(call.substr(line + 4));
  }
  // bash and zsh report the stopped job for the tool to pass over, fish passes over it itself.
  std::erase_if(reported,
                [](const std::string& line) { return line.starts_with("echo ") || line == "sleep 7"; });
  ASSERT_EQ(reported.size(), 5u) << readFile(sandbox.home() + "/tool-calls");
  EXPECT_TRUE(reported[0].starts_with("less ")) << reported[0];
  EXPECT_EQ(reported[1], "sleep 1.2");
  EXPECT_EQ(reported[2], "sh -c 'sleep 1.2; exit 3'");
  EXPECT_EQ(reported[3], "sleep 1.2");
  // bash hands over the first command only, the others the whole line.
  EXPECT_TRUE(reported[4].starts_with("true")) << reported[4];
}

INSTANTIATE_TEST_SUITE_P(Shells, ShellIntegrationTest, ::testing::Values("bash", "zsh", "fish"),
                         [](const auto& info) { return info.param; });

TEST_F(ShellIntegrationTest, BashKeepsAnArrayPromptCommandAndADebugTrapThatReadsTheStatus) {
  writeStartup("bash",
               "set -u\n_first=0 _second=0 _seen=\n"
               "PROMPT_COMMAND=('_first=$((_first+1))' '_second=$((_second+1))')\n"
               "trap '_seen=$?' DEBUG\n");
  start("bash");
  terminal->type("sh -c 'sleep 1.2; exit 4'");
  ASSERT_TRUE(shows("failed-done"));
  EXPECT_TRUE(wasPosted("Failed (4): sh"));
  terminal->type("(( _first > 1 && _second > 1 )) && echo array-\"ran\"");
  EXPECT_TRUE(terminal->waitFor("array-ran", 10)) << terminal->screen();
  // The user's trap still sees the status of the command before it.
  terminal->type("false; echo status-$_seen");
  EXPECT_TRUE(terminal->waitFor("status-1", 10)) << terminal->screen();
  EXPECT_EQ(terminal->screen().find("unbound"), std::string::npos) << terminal->screen();
}

// The terminal's own window, inside the frame the window manager names active: while the user looks
// at it nothing signals; once another window has the focus the end of a command does.
TEST_F(ShellIntegrationTest, NoSignalWhileTheTerminalsWindowHasTheFocus) {
  XvfbServer x;
  ASSERT_TRUE(x.started()) << "Xvfb is needed";
  ASSERT_TRUE(x.activateWindowOf(4242));
  std::uint32_t window = x.createWindowIn(x.activeWindow());
  ASSERT_NE(window, 0u);
  sandbox.setEnvironment("DISPLAY", x.display().toStdString());
  sandbox.setEnvironment("WINDOWID", std::to_string(window));
  writeStartup("bash", "");
  start("bash");

  terminal->type("sleep 1.2");
  ASSERT_TRUE(shows("looked-at"));
  ASSERT_TRUE(x.activateWindowOf(4343));
  terminal->type("sh -c 'sleep 1.2; exit 5'");
  ASSERT_TRUE(shows("looked-away"));
  EXPECT_TRUE(wasPosted("Failed (5): sh"));
  EXPECT_EQ(posted(), std::vector<std::string>{"Failed (5): sh"}) << "the first ended while the user looked";
  auto calls = toolCalls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [&](const std::string& call) {
                            return call.find("--window " + std::to_string(window)) != std::string::npos;
                          }),
            2)
      << "both were reported with the window";
}

}  // namespace
