#include "integration/terminal.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

Terminal::Terminal(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment, const std::string& directory) {
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> entries = environment;
  std::vector<char*> envp;
  for (auto& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  winsize size{};
  size.ws_row = 40;
  size.ws_col = 200;
  pid_ = ::forkpty(&fd_, nullptr, nullptr, &size);
  if (pid_ == 0) {
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
}

Terminal::~Terminal() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGHUP);
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  ::close(fd_);
}

void Terminal::type(const std::string& line) { press(line + "\r"); }

void Terminal::press(const std::string& keys) {
  [[maybe_unused]] auto written = ::write(fd_, keys.data(), keys.size());
}

void Terminal::read(double timeoutSeconds) {
  pollfd ready{fd_, POLLIN, 0};
  if (::poll(&ready, 1, static_cast<int>(timeoutSeconds * 1000)) <= 0) return;
  char buffer[4096];
  auto count = ::read(fd_, buffer, sizeof buffer);
  if (count > 0) shown_.append(buffer, static_cast<std::size_t>(count));
}

bool Terminal::waitFor(const std::string& text, double timeoutSeconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  while (true) {
    auto found = shown_.find(text, seen_);
    if (found != std::string::npos) {
      seen_ = found + text.size();
      return true;
    }
    auto left = std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return false;
    read(std::min(left, 0.2));
  }
}
