#include "cli/finished_command.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "cli/command_outcome.h"

namespace FinishedCommand {

namespace {

constexpr const char* kUsage =
    "usage: halomark shell-done --status N [--window ID] [--interactive \"names\"] -- <command line>\n";
// The status a shell gives a command ended by Control-C: the user was there to press it.
constexpr int kInterrupted = 130;

// bash and zsh give a job stopped by Control-Z (or SIGSTOP, or by reading or writing the terminal
// from the background) 128 plus the signal: it has not ended, and it reports when it does.
bool stopped(int status) { return status >= 128 + 19 && status <= 128 + 22; }

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// Characters that end a word in a shell's command line.
bool endsWord(char c) {
  return isSpace(c) || c == ';' || c == '|' || c == '&' || c == '<' || c == '>' || c == '(' || c == ')';
}

// The first word at `at`, its quotes and escapes taken away; `at` moves past it.
std::string takeWord(const std::string& line, std::size_t& at) {
  std::string word;
  while (at < line.size() && !endsWord(line[at])) {
    char c = line[at++];
    if (c == '\\' && at < line.size()) {
      word += line[at++];
    } else if (c == '\'' || c == '"') {
      while (at < line.size() && line[at] != c) {
        if (c == '"' && line[at] == '\\' && at + 1 < line.size()) ++at;
        word += line[at++];
      }
      if (at < line.size()) ++at;
    } else {
      word += c;
    }
  }
  return word;
}

// NAME=value, as a shell takes an assignment before a command.
bool isAssignment(const std::string& word) {
  auto equals = word.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  for (std::size_t i = 0; i < equals; ++i) {
    char c = word[i];
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    if (!letter && !(i > 0 && c >= '0' && c <= '9')) return false;
  }
  return true;
}

std::optional<int> integer(const std::string& text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> windowId(const std::string& text) {
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

struct Request {
  int status = 0;
  std::string window;
  std::string interactive;
  std::string line;
};

std::optional<Request> parse(const std::vector<std::string>& arguments) {
  Request request;
  bool haveStatus = false;
  std::size_t i = 0;
  for (; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--") {
      ++i;
      break;
    }
    if (i + 1 >= arguments.size()) return std::nullopt;
    const std::string& value = arguments[++i];
    if (word == "--status") {
      auto status = integer(value);
      if (!status) return std::nullopt;
      request.status = *status;
      haveStatus = true;
    } else if (word == "--window") {
      request.window = value;
    } else if (word == "--interactive") {
      request.interactive = value;
    } else {
      return std::nullopt;
    }
  }
  if (!haveStatus) return std::nullopt;
  for (; i < arguments.size(); ++i) request.line += (request.line.empty() ? "" : " ") + arguments[i];
  return request;
}

}  // namespace

const std::set<std::string>& shells() {
  static const std::set<std::string> names{"bash", "zsh", "fish", "sh", "dash", "ksh", "tcsh", "csh"};
  return names;
}

const std::set<std::string>& defaultInteractive() {
  static const std::set<std::string> names = [] {
    std::set<std::string> all{
        "vi",   "vim",    "nvim",   "view",  "vimdiff", "nano", "pico", "emacs", "micro",    "hx",
        "kak",  "joe",    "less",   "more",  "most",    "man",  "info", "ssh",   "mosh",     "telnet",
        "tmux", "screen", "zellij", "byobu", "top",     "htop", "btop", "watch", "halomark",
    };
    all.insert(shells().begin(), shells().end());
    return all;
  }();
  return names;
}

bool isInteractive(const std::vector<std::string>& words, const std::set<std::string>& extra) {
  if (words.empty()) return false;
  std::string name = CommandOutcome::lastPathComponent(words.front());
  if (extra.count(name)) return true;
  if (!defaultInteractive().count(name)) return false;
  if (!shells().count(name)) return true;
  // "sh -c '...'" and "bash build.sh" run something and end; "bash" and "zsh -l" wait for input.
  return std::none_of(words.begin() + 1, words.end(),
                      [](const std::string& word) { return word == "-c" || !word.starts_with("-"); });
}

std::set<std::string> namesIn(const std::string& list) {
  std::set<std::string> names;
  std::string name;
  for (char c : list + " ") {
    if (isSpace(c) || c == ',' || c == ':') {
      if (!name.empty()) names.insert(name);
      name.clear();
    } else {
      name += c;
    }
  }
  return names;
}

std::vector<std::string> firstCommand(const std::string& line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    char c = line[at];
    if (isSpace(c)) {
      ++at;
      continue;
    }
    // Grouping and negation come before the first command: "(make)", "{ make; }", "! make".
    if (words.empty() && (c == '(' || c == '{' || c == '!')) {
      ++at;
      continue;
    }
    if (endsWord(c)) break;
    std::string word = takeWord(line, at);
    if (words.empty() && isAssignment(word)) continue;
    // A first word that is empty ('') names no command.
    if (words.empty() && word.empty()) break;
    words.push_back(std::move(word));
  }
  return words;
}

std::optional<std::string> firstCommandName(const std::string& line) {
  auto words = firstCommand(line);
  if (words.empty()) return std::nullopt;
  return CommandOutcome::lastPathComponent(words.front());
}

int report(const std::vector<std::string>& arguments, CliContext& context) {
  auto request = parse(arguments);
  if (!request) {
    context.err << kUsage;
    return 2;
  }
  auto words = firstCommand(request->line);
  if (words.empty() || request->status == kInterrupted || stopped(request->status)) return 0;
  if (isInteractive(words, namesIn(request->interactive))) return 0;
  // The user is looking at the terminal that ran it.
  if (auto window = windowId(request->window)) {
    if (context.platform.workspace.windowHasFocus(*window) == true) return 0;
  }
  CLI::signal({"start", "--message", CommandOutcome::message(request->status, words.front())}, context);
  return 0;
}

}  // namespace FinishedCommand
