// A private X server (Xvfb) for one test, and a client that plays the window manager's part of
// naming the active window.
#pragma once

#include <QProcess>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct xcb_connection_t;

class XvfbServer {
 public:
  // `screen` as Xvfb takes it: width x height x depth.
  explicit XvfbServer(const QString& screen = QStringLiteral("320x240x24"));
  ~XvfbServer();
  bool started() const { return !display_.isEmpty(); }
  // ":N"
  const QString& display() const { return display_; }

  // The titles of the top-level windows shown now.
  std::vector<std::string> shownWindowTitles();

  // The screen's pixels in a rectangle, as 0xRRGGBB, row by row; empty when it cannot be read.
  struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
      return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    // Written as a binary PPM, for a person to look at.
    bool save(const std::string& path) const;
  };
  Picture grab(int x, int y, int width, int height);

  // Creates a window whose _NET_WM_PID is `pid` and makes it the root's _NET_ACTIVE_WINDOW.
  bool activateWindowOf(std::uint32_t pid);
  // The window made active last, and a new window inside it (as a terminal's own window sits in
  // the frame the window manager names); 0 when there is none.
  std::uint32_t activeWindow() const { return active_; }
  std::uint32_t createWindowIn(std::uint32_t parent);

 private:
  std::uint32_t atom(const char* name);
  QString display_;
  std::unique_ptr<QProcess> server_;
  xcb_connection_t* client_ = nullptr;
  std::uint32_t active_ = 0;
};
