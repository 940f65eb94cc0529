#include "windows/uninstall_prompt.h"

#include <gtest/gtest.h>

namespace {

TEST(UninstallPromptTest, LeftoversListErrorsFirstThenTheLinksToDelete) {
  Maintenance::UninstallResult clean;
  clean.removedLinks = {"/usr/local/bin/halomark"};
  EXPECT_EQ(UninstallPrompt::leftovers(clean), std::nullopt);

  Maintenance::UninstallResult oneLink;
  oneLink.failedLinks = {"/usr/local/bin/halomark"};
  EXPECT_EQ(UninstallPrompt::leftovers(oneLink),
            "Couldn't remove: /usr/local/bin/halomark. Delete it in Terminal with: sudo rm "
            "/usr/local/bin/halomark");

  Maintenance::UninstallResult both;
  both.errors = {"Moving Halomark to the Trash: Permission denied"};
  both.failedLinks = {"/usr/local/bin/halomark", "/opt/homebrew/bin/halomark"};
  EXPECT_EQ(
      UninstallPrompt::leftovers(both),
      "Moving Halomark to the Trash: Permission denied\n\n"
      "Couldn't remove: /usr/local/bin/halomark, /opt/homebrew/bin/halomark. Delete it in Terminal with: "
      "sudo rm /usr/local/bin/halomark /opt/homebrew/bin/halomark");
}

}  // namespace
