// The tool's main loop on Qt: a Qt application object made on demand (the tool has none until a
// command waits for events), ended by termination signals and by standard output's reader going
// away, which a pipe shows as an error on its writing end.
#pragma once

#include <QSocketNotifier>
#include <memory>
#include <optional>

#include "platform/interfaces/main_loop.h"

class QCoreApplication;

class LinuxMainLoop : public MainLoop {
 public:
  // `outputFd`: the standard output to watch for its reader going away.
  explicit LinuxMainLoop(int outputFd = 1);
  ~LinuxMainLoop() override;

  void prepare() override;
  End run() override;
  void quit() override;

 private:
  void end(End how);
  void watchTermination();
  void watchOutput();

  int outputFd_;
  int argc_ = 1;
  char name_[9] = "halomark";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> application_;
  std::unique_ptr<QSocketNotifier> termination_;
  std::unique_ptr<QSocketNotifier> output_;
  std::optional<End> ended_;
};
