// The user's presence in the desktop session: idle time from X11's screen-saver extension, GNOME's
// idle monitor or the freedesktop screen saver, whichever answers; user activity and keeping the
// display awake through the freedesktop screen saver on the session bus.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/interfaces/user_activity.h"

class QDBusConnection;

class LinuxUserActivity : public UserActivity {
 public:
  // By default the session's own X display ($DISPLAY) and session bus. Tests name their own; an
  // empty name means there is none.
  explicit LinuxUserActivity(std::optional<std::string> x11Display = std::nullopt,
                             std::optional<std::string> busAddress = std::nullopt);
  ~LinuxUserActivity() override;
  LinuxUserActivity(const LinuxUserActivity&) = delete;
  LinuxUserActivity& operator=(const LinuxUserActivity&) = delete;

  std::optional<double> secondsSinceLastInput() override;
  bool declareUserActivity(const std::string& name) override;
  std::uint32_t createDisplayAssertion(const std::string& name) override;
  void releaseAssertion(std::uint32_t assertion) override;

 private:
  std::optional<double> x11IdleSeconds();
  std::optional<double> busIdleSeconds();
  // The bus, connected on first use; none when there is no bus to reach.
  QDBusConnection* bus();

  std::optional<std::string> x11Display_;
  std::optional<std::string> busAddress_;
  bool busTried_ = false;
  std::unique_ptr<QDBusConnection> bus_;
  // The screen saver's cookies by the non-zero identifiers handed out.
  std::map<std::uint32_t, std::uint32_t> cookies_;
  std::uint32_t nextAssertion_ = 1;
};
