// A fake sysfs tree with LED class lights and panel backlights, for the real logo light's tests.
#pragma once

#include <filesystem>
#include <string>

#include "fakes/temp_tree.h"
#include "platform/linux_utilities/sysfs_read.h"

class LedFixture {
 public:
  LedFixture() = default;
  explicit LedFixture(const std::string& base) : scratch_(base) {}

  std::string sys() const { return scratch_ / "sys"; }
  std::string runtime() const { return scratch_ / "runtime/halomark"; }
  std::string led(const std::string& name) const { return sys() + "/class/leds/" + name; }

  void addLed(const std::string& name, long long maxBrightness, long long brightness,
              const std::string& triggers = "[none] timer pattern") const {
    TempTree::write(led(name) + "/max_brightness", std::to_string(maxBrightness) + "\n");
    TempTree::write(led(name) + "/brightness", std::to_string(brightness) + "\n");
    TempTree::write(led(name) + "/trigger", triggers + "\n");
  }
  void addBacklight(const std::string& name, const std::string& type, long long maxBrightness,
                    long long brightness) const {
    std::string dir = sys() + "/class/backlight/" + name;
    TempTree::write(dir + "/type", type + "\n");
    TempTree::write(dir + "/max_brightness", std::to_string(maxBrightness) + "\n");
    setBacklight(name, brightness);
  }
  void setBacklight(const std::string& name, long long brightness) const {
    std::string dir = sys() + "/class/backlight/" + name;
    TempTree::write(dir + "/brightness", std::to_string(brightness) + "\n");
    TempTree::write(dir + "/actual_brightness", std::to_string(brightness) + "\n");
  }
  void setBrightness(const std::string& name, long long brightness) const {
    TempTree::write(led(name) + "/brightness", std::to_string(brightness) + "\n");
  }
  long long brightness(const std::string& name) const {
    return Sysfs::readInteger(led(name) + "/brightness").value_or(-1);
  }
  std::string trigger(const std::string& name) const {
    return Sysfs::readLine(led(name) + "/trigger").value_or("");
  }
  // Root may write any plain file; a read-only kernel attribute refuses even root.
  bool makeUnwritable(const std::string& name) const {
    const std::filesystem::path readOnly = "/sys/kernel/uevent_seqnum";
    std::error_code error;
    if (!std::filesystem::exists(readOnly, error)) return false;
    std::filesystem::remove(led(name) + "/brightness");
    std::filesystem::create_symlink(readOnly, led(name) + "/brightness", error);
    return !error;
  }

 private:
  TempTree scratch_;
};
