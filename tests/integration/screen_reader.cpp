#include "integration/screen_reader.h"

#include <filesystem>

namespace {

const char* kLauncher = "/usr/libexec/at-spi-bus-launcher";

bool printed(Sandbox& sandbox, pid_t reader, const char* text) {
  return sandbox.output(reader).out.find(text) != std::string::npos;
}

}  // namespace

bool ScreenReader::available() {
  return std::filesystem::exists(kLauncher) &&
         std::filesystem::exists("/usr/lib/python3/dist-packages/pyatspi");
}

bool ScreenReader::start(Sandbox& sandbox) {
  sandbox.setEnvironment("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  sandbox.spawn(kLauncher, {});
  return Sandbox::waitUntil(
      [&] {
        return sandbox
                   .runProgram("/usr/bin/gdbus", {"call", "--session", "-d", "org.a11y.Bus", "-o",
                                                  "/org/a11y/bus", "-m", "org.a11y.Bus.GetAddress"})
                   .status == 0;
      },
      10);
}

ProcessResult ScreenReader::readAndPressSwitch(Sandbox& sandbox,
                                               const std::function<void(int attempt)>& show) {
  pid_t reader = sandbox.spawn("/usr/bin/python3", {HALOMARK_TEST_DATA "/atspi_switch.py"});
  bool seen = false;
  if (Sandbox::waitUntil([&] { return printed(sandbox, reader, "listening"); }, 10)) {
    for (int attempt = 0; attempt < 3 && !seen; ++attempt) {
      show(attempt);
      seen = Sandbox::waitUntil([&] { return printed(sandbox, reader, "actions:"); }, 5);
    }
  }
  int status = seen ? sandbox.wait(reader, 15) : sandbox.stop(reader);
  ProcessResult result = sandbox.output(reader);
  result.status = seen ? status : -1;
  return result;
}
