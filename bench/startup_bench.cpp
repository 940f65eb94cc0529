// Measures the start-to-exit time of `<halomark> version`, `status` and `status --json` against a
// trivial program linked to the same libraries, in a throw-away home and runtime folder so no real
// preferences, device or application are seen, without a session bus, and prints the ratios; and
// `status --json` against `status`, which it must not slow down by much.
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
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
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
  struct Measured {
    std::vector<std::string> arguments;
    double goal;
  };
  std::vector<Measured> commands{{{"version"}, 1.5}, {{"status"}, 1.3}, {{"status", "--json"}, 1.3}};
  auto commandLine = [&](const Measured& measured) {
    std::vector<std::string> line{argv[1]};
    line.insert(line.end(), measured.arguments.begin(), measured.arguments.end());
    return line;
  };
  auto named = [](const Measured& measured) {
    std::string name;
    for (const auto& argument : measured.arguments) name += (name.empty() ? "" : " ") + argument;
    return name;
  };
  std::vector<std::string> trivial{argv[2]};
  for (int i = 0; i < kWarmupRuns; ++i) {
    for (const auto& measured : commands) runOnce(commandLine(measured));
    runOnce(trivial);
  }
  // Alternating keeps every side exposed to the same background load.
  std::vector<std::vector<double>> times(commands.size());
  std::vector<double> trivialTimes;
  for (int i = 0; i < kRuns; ++i) {
    for (std::size_t c = 0; c < commands.size(); ++c) times[c].push_back(runOnce(commandLine(commands[c])));
    trivialTimes.push_back(runOnce(trivial));
  }
  double t = median(trivialTimes);
  std::printf("trivial program:  %.2f ms (median of %d)\n", t * 1000, kRuns);
  for (std::size_t c = 0; c < commands.size(); ++c) {
    double h = median(times[c]);
    std::printf("halomark %s: %.2f ms (median of %d), ratio %.2fx (goal: at most %.1fx)\n",
                named(commands[c]).c_str(), h * 1000, kRuns, h / t, commands[c].goal);
  }
  std::printf("halomark status --json against status: %.2fx (goal: at most 1.1x)\n",
              median(times[2]) / median(times[1]));
  std::fflush(stdout);

  if (system("command -v hyperfine >/dev/null 2>&1") == 0) {
    std::string halomark = argv[1];
    std::string command = "hyperfine -N --warmup 20 --runs 200 '" + halomark + " version' '" + halomark +
                          " status' '" + halomark + " status --json' '" + trivial[0] + "'";
    [[maybe_unused]] int ignored = system(command.c_str());
  }
  fs::remove_all(home);
  return 0;
}
