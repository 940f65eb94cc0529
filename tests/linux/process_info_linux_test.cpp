#include "platform/linux_services/process_info_linux.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

TEST(LinuxProcessInfo, ArgumentsAsGivenAndHomeFromEnvironmentOrPasswordEntry) {
  char program[] = "/opt/Halomark.app/Contents/MacOS/Halomark";
  char first[] = "set";
  char second[] = "";
  char* argv[] = {program, first, second, nullptr};
  LinuxProcessInfo info(3, argv);
  EXPECT_EQ(info.arguments(), (std::vector<std::string>{program, "set", ""}));

  std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", "/home/elsewhere", 1);
  EXPECT_EQ(info.homeDirectory(), "/home/elsewhere");
  unsetenv("HOME");
  struct passwd* entry = getpwuid(getuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(info.homeDirectory(), entry->pw_dir);
  setenv("HOME", saved.c_str(), 1);
}

}  // namespace
