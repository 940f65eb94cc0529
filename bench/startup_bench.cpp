// Measures the start-to-exit time of `<halomark> version` against a trivial program linked to the
// same libraries, in a throw-away home so no real preferences are read, and prints the ratio.
// hyperfine, when installed, measures the same pair as a second opinion.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kWarmupRuns = 20;
constexpr int kRuns = 300;

double runOnce(std::vector<std::string> command) {
  std::vector<char*> argv;
  for (auto& part : command) argv.push_back(part.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", argv[0]);
    std::exit(1);
  }
  return seconds;
}

double median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

// A home of its own: `version` reads the preference domains, and they must not be the user's.
fs::path isolate() {
  std::string pattern = (fs::temp_directory_path() / "halomark-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::exit(1);
  setenv("HOME", pattern.c_str(), 1);
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    fs::path directory = fs::path(pattern) / name;
    fs::create_directory(directory);
    setenv(name, directory.c_str(), 1);
  }
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  unsetenv("DISPLAY");
  return pattern;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: startup_bench <halomark executable> <trivial executable>\n");
    return 2;
  }
  fs::path home = isolate();
  std::vector<std::string> halomark{argv[1], "version"};
  std::vector<std::string> trivial{argv[2]};
  for (int i = 0; i < kWarmupRuns; ++i) {
    runOnce(halomark);
    runOnce(trivial);
  }
  // Alternating keeps both sides exposed to the same background load.
  std::vector<double> halomarkTimes, trivialTimes;
  for (int i = 0; i < kRuns; ++i) {
    halomarkTimes.push_back(runOnce(halomark));
    trivialTimes.push_back(runOnce(trivial));
  }
  double h = median(halomarkTimes), t = median(trivialTimes);
  std::printf("halomark version: %.2f ms (median of %d)\n", h * 1000, kRuns);
  std::printf("trivial program:  %.2f ms (median of %d)\n", t * 1000, kRuns);
  std::printf("ratio: %.2fx (goal: at most 1.5x)\n", h / t);
  std::fflush(stdout);

  if (system("command -v hyperfine >/dev/null 2>&1") == 0) {
    std::string command =
        "hyperfine -N --warmup 20 --runs 200 '" + halomark[0] + " version' '" + trivial[0] + "'";
    [[maybe_unused]] int ignored = system(command.c_str());
  }
  fs::remove_all(home);
  return 0;
}
