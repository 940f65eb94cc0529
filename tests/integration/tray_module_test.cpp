// The line between the executable and the tray module: the tool and the headless application never
// map the widget libraries, the application on a display maps them with the module, and the module
// needs nothing of the executable, which exports none of the product's code.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"
#include "linux/xvfb_server.h"

namespace {

const char* const kWidgetLibraries[] = {"libQt6Widgets.so", "libQt6Gui.so"};

std::string module() { return Sandbox::bundle() + "/Contents/PlugIns/halomark_tray.so"; }

bool maps(const std::string& listing, const std::string& library) {
  return listing.find(library) != std::string::npos;
}

// The running application's mapped files, once the tool sees it running.
std::string mappedFilesOfRunningApplication(Sandbox& sandbox, pid_t app) {
  bool running = Sandbox::waitUntil(
      [&] { return sandbox.run({"status"}).out.find("Halomark app: running") != std::string::npos; }, 15);
  EXPECT_TRUE(running) << sandbox.output(app).err;
  return TempTree::read("/proc/" + std::to_string(app) + "/maps");
}

TEST(TrayModuleTest, TheToolNeedsNoWidgetLibrary) {
  Sandbox sandbox;
  auto needed = sandbox.runProgram("/usr/bin/ldd", {Sandbox::executable()});
  ASSERT_EQ(needed.status, 0) << needed.err;
  ASSERT_TRUE(maps(needed.out, "libQt6Core.so")) << needed.out;
  for (const char* library : kWidgetLibraries) EXPECT_FALSE(maps(needed.out, library)) << needed.out;
}

TEST(TrayModuleTest, OnlyTheApplicationOnADisplayMapsTheModuleAndTheWidgets) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  pid_t headless = sandbox.spawnApp();
  std::string listing = mappedFilesOfRunningApplication(sandbox, headless);
  ASSERT_TRUE(maps(listing, "libQt6Core.so")) << listing;
  EXPECT_FALSE(maps(listing, "halomark_tray.so"));
  for (const char* library : kWidgetLibraries) EXPECT_FALSE(maps(listing, library)) << library;
  EXPECT_EQ(sandbox.stop(headless), 0);

  XvfbServer display;
  ASSERT_TRUE(display.started());
  sandbox.setEnvironment("DISPLAY", display.display().toStdString());
  sandbox.setEnvironment("QT_QPA_PLATFORM", "xcb");
  pid_t tray = sandbox.spawnApp();
  listing = mappedFilesOfRunningApplication(sandbox, tray);
  EXPECT_TRUE(maps(listing, "halomark_tray.so"));
  for (const char* library : kWidgetLibraries) EXPECT_TRUE(maps(listing, library)) << library;
  EXPECT_EQ(sandbox.stop(tray), 0);
}

TEST(TrayModuleTest, TheModuleResolvesEverySymbolWithoutTheExecutable) {
  Sandbox sandbox;
  // Relocates the module as the dynamic loader would with no executable behind it: a symbol the
  // module expected the executable to provide is reported as undefined.
  auto relocated = sandbox.runProgram("/usr/bin/ldd", {"-r", module()});
  ASSERT_EQ(relocated.status, 0) << relocated.err;
  EXPECT_EQ(relocated.err.find("undefined symbol"), std::string::npos) << relocated.err;
  EXPECT_EQ(relocated.out.find("undefined symbol"), std::string::npos) << relocated.out;
}

TEST(TrayModuleTest, TheExecutableExportsNoneOfTheProductsCode) {
  Sandbox sandbox;
  auto exported =
      sandbox.runProgram("/usr/bin/nm", {"--dynamic", "--defined-only", "--demangle", Sandbox::executable()});
  ASSERT_EQ(exported.status, 0) << exported.err;
  std::istringstream lines(exported.out);
  int symbols = 0;
  for (std::string line; std::getline(lines, line);) {
    // "<address> <kind> <name>": the standard library's own instantiations and the linker's
    // markers are exported by any executable that shares them with the libraries it loads.
    auto name = line.substr(line.find(' ', line.find(' ') + 1) + 1);
    ++symbols;
    for (const char* prefix : {"typeinfo for ", "typeinfo name for ", "vtable for "}) {
      if (name.rfind(prefix, 0) == 0) name.erase(0, std::string(prefix).size());
    }
    EXPECT_TRUE(name.rfind("std::", 0) == 0 || name.rfind("_", 0) == 0) << "exported: " << name;
  }
  EXPECT_GT(symbols, 0) << "nm listed nothing: " << exported.err;
}

}  // namespace
