#include "app/process_entry.h"

#include <gtest/gtest.h>

namespace {

using ProcessEntry::Role;
using Arguments = std::vector<std::string>;

TEST(ProcessEntryTest, DropsLauncherArgumentsAndKeepsTheRestInOrder) {
  EXPECT_EQ(ProcessEntry::toolArguments({"/x/Halomark", "-NSDocumentRevisionsDebugMode", "YES"}),
            Arguments{"YES"});
  EXPECT_EQ(ProcessEntry::toolArguments({"/x/Halomark", "-psn_0_12345"}), Arguments{});
  EXPECT_EQ(ProcessEntry::toolArguments({"/x/Halomark", "-AppleLanguages", "set", "-NSFoo", "80"}),
            (Arguments{"set", "80"}));
  EXPECT_EQ(ProcessEntry::toolArguments({"/x/Halomark"}), Arguments{});
  EXPECT_EQ(ProcessEntry::toolArguments({}), Arguments{});
}

TEST(ProcessEntryTest, PrefixesAreCaseSensitiveAndWhole) {
  EXPECT_EQ(ProcessEntry::toolArguments({"p", "-ns", "-apple", "-PSN_1", "-psn", "-Appl", "--NS"}),
            (Arguments{"-ns", "-apple", "-PSN_1", "-psn", "-Appl", "--NS"}));
  // The program path itself is never taken as an argument, whatever it looks like.
  EXPECT_EQ(ProcessEntry::toolArguments({"-NS", "on"}), Arguments{"on"});
}

TEST(ProcessEntryTest, AnyRemainingArgumentMakesTheTool) {
  EXPECT_EQ(ProcessEntry::role(ProcessEntry::toolArguments({"p", "-psn_0_1"})), Role::application);
  EXPECT_EQ(ProcessEntry::role(ProcessEntry::toolArguments({"p", "-NSX", "YES"})), Role::tool);
  EXPECT_EQ(ProcessEntry::role({""}), Role::tool);
}

TEST(ProcessEntryTest, ALoneHalomarkUrlIsTheDesktopOpeningIt) {
  EXPECT_EQ(ProcessEntry::role({"halomark://signal?message=Hi"}), Role::openURL);
  EXPECT_EQ(ProcessEntry::role(ProcessEntry::toolArguments({"p", "-psn_0_1", "halomark:x"})), Role::openURL);
  EXPECT_EQ(ProcessEntry::role({"halomark://signal", "extra"}), Role::tool);
  EXPECT_EQ(ProcessEntry::role({"HALOMARK://signal"}), Role::tool);
  EXPECT_EQ(ProcessEntry::role({"halomark"}), Role::tool);
}

}  // namespace
