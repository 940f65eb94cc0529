// How long the settings and welcome windows take to open and what they cost in memory, measured in
// the running application's set-up on the emulated device; optionally saves a picture of each tab.
//
//   window_bench [PICTURE_DIR]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "app/app_delegate.h"
#include "shell/linux_platform.h"
#include "ui/desktop_window_services.h"
#include "ui/settings_window.h"
#include "ui/welcome_window.h"
#include "ui/window_icons.h"
#include "ui/windows_controller.h"
#include "updates/updater.h"

namespace {

// The windows only show and store the automatic-check flag; the measurement needs no feed.
class BenchUpdater : public Updater {
 public:
  bool automaticallyChecksForUpdates() const override { return on_; }
  void setAutomaticallyChecksForUpdates(bool on) override { on_ = on; }

 private:
  bool on_ = false;
};

// Resident memory in KiB.
long residentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (QString line; !(line = QString::fromLatin1(status.readLine())).isEmpty();) {
    if (line.startsWith(QLatin1String("VmRSS:"))) return line.section(QLatin1Char(' '), -2, -2).toLong();
  }
  return -1;
}

// Until everything posted (layout, painting) has run.
void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void save(QWidget* window, const QString& directory, const QString& name) {
  if (directory.isEmpty()) return;
  window->grab().save(QDir(directory).filePath(name));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QString pictures = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  LinuxPlatform system(argc, argv);
  auto delegate = std::make_shared<AppDelegate>(system.platform());
  delegate->applicationDidFinishLaunching();
  BenchUpdater updater;
  DesktopWindowServices services(updater, [] {});
  WindowsController windows(*delegate, system.platform(), services.services);
  settle();

  long before = residentKiB();
  QElapsedTimer timer;
  timer.start();
  windows.showSettings();
  settle();
  double firstOpen = timer.nsecsElapsed() / 1e6;
  long open = residentKiB();
  for (auto tab : kSettingsTabs) {
    windows.settingsWindow()->selectTab(tab);
    settle();
    save(windows.settingsWindow(), pictures,
         QStringLiteral("settings-%1.png").arg(QString::fromStdString(rawValue(tab))));
  }
  windows.settingsWindow()->close();
  settle();
  long closed = residentKiB();
  timer.restart();
  windows.showSettings();
  settle();
  double reopen = timer.nsecsElapsed() / 1e6;
  windows.settingsWindow()->close();

  timer.restart();
  QIcon crescent = WindowIcons::themed("weather-clear-night", WindowIcons::Drawn::moonAndStars);
  windows.showWelcome({crescent, crescent, [] {}});
  settle();
  double welcomeOpen = timer.nsecsElapsed() / 1e6;
  save(windows.welcomeWindow(), pictures, QStringLiteral("welcome.png"));

  std::printf("settings window, first open: %.1f ms\n", firstOpen);
  std::printf("settings window, open again: %.1f ms\n", reopen);
  std::printf("welcome window, first open: %.1f ms\n", welcomeOpen);
  std::printf("resident memory: %ld KiB before, %ld KiB with the window open, %ld KiB after closing\n",
              before, open, closed);
  delegate->applicationWillTerminate();
  return 0;
}
