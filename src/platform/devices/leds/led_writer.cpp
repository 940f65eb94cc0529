#include "platform/devices/leds/led_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <limits>

#include "platform/devices/leds/led_class.h"
#include "platform/linux_utilities/logind_session.h"

LedWriter::LedWriter(std::filesystem::path sysRoot, DBusBuses buses)
    : sysRoot_(std::move(sysRoot)), buses_(std::move(buses)) {}

bool LedWriter::writeBrightness(const std::string& name, long long level) {
  if (!logindRefused_ && throughLogind(name, level)) return true;
  bool triedLogind = !logindRefused_;
  logindRefused_ = true;
  if (directly(name, "brightness", std::to_string(level))) return true;
  // The session may have come to the foreground since logind last refused.
  if (!triedLogind && throughLogind(name, level)) {
    logindRefused_ = false;
    return true;
  }
  return false;
}

bool LedWriter::writeTrigger(const std::string& name, const std::string& trigger) {
  return directly(name, "trigger", trigger);
}

bool LedWriter::throughLogind(const std::string& name, long long level) {
  // logind takes a 32-bit level; a larger one only the file can take.
  if (level < 0 || level > std::numeric_limits<std::uint32_t>::max()) return false;
  auto bus = buses_.system();
  if (!bus) return false;
  if (!sessionLookedUp_) {
    session_ = Logind::sessionPath(*bus);
    sessionLookedUp_ = true;
  }
  if (!session_) return false;
  auto reply = DBusCall::call(
      *bus, DBusCall::method(Logind::kService, *session_, Logind::kSession, QStringLiteral("SetBrightness"),
                             {QStringLiteral("leds"), QString::fromStdString(name),
                              QVariant::fromValue(static_cast<uint>(level))}));
  return reply.has_value();
}

bool LedWriter::directly(const std::string& name, const char* attribute, const std::string& text) {
  auto file = LedClass::directory(sysRoot_, name) / attribute;
  // Not blocking: a kernel attribute never blocks, and anything else in its place (a named pipe
  // nobody reads) must not stall the main thread.
  int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return ::close(fd) == 0 && written;
}
