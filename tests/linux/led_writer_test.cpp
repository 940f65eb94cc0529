// Writing and reading a light never stalls the caller: whatever sits in place of a kernel attribute
// (here a named pipe that nobody reads or writes) makes the access fail at once instead of blocking.
#include "platform/devices/leds/led_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "linux/dbusmock_bus.h"
#include "linux/led_fixture.h"
#include "platform/devices/leds/led_class.h"

namespace {

// Runs `work` on a helper thread; when it has not finished within a few seconds, opens the pipe
// from the other side so the stuck call returns and the test can fail instead of hanging.
template <typename Work>
bool finishesPromptly(Work work, const std::string& pipe) {
  auto done = std::async(std::launch::async, work);
  if (done.wait_for(std::chrono::seconds(3)) == std::future_status::ready) return true;
  int other = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
  done.wait();
  ::close(other);
  return false;
}

TEST(LedWriterTest, APipeInPlaceOfTheBrightnessFileFailsAtOnce) {
  ensureCoreApplication();
  LedFixture fixture;
  fixture.addLed("platform::logo", 255, 0);
  std::string brightness = fixture.led("platform::logo") + "/brightness";
  std::filesystem::remove(brightness);
  ASSERT_EQ(::mkfifo(brightness.c_str(), 0600), 0);

  LedWriter writer(fixture.sys(), unreachableBuses());
  bool written = true;
  EXPECT_TRUE(finishesPromptly([&] { written = writer.writeBrightness("platform::logo", 80); }, brightness))
      << "the write blocked";
  EXPECT_FALSE(written);
  std::optional<long long> level = 7;
  EXPECT_TRUE(
      finishesPromptly([&] { level = LedClass::brightness(fixture.sys(), "platform::logo"); }, brightness))
      << "the read blocked";
  EXPECT_FALSE(level);
}

}  // namespace
