#include "platform/linux_services/preference_domains_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "fakes/temp_tree.h"

namespace {

namespace fs = std::filesystem;

class LinuxPreferenceDomainsTest : public ::testing::Test {
 protected:
  TempTree scratch;
  std::string directory = scratch / "config/halomark";
  LinuxPreferenceDomains prefs{directory};
  std::string fileOf(const std::string& domain) { return directory + "/" + domain + ".json"; }
};

TEST_F(LinuxPreferenceDomainsTest, ValuesRoundTripWithTheirTypesThroughAnotherInstance) {
  prefs.setValue("d", "flag", true);
  prefs.setValue("d", "count", 7);
  prefs.setValue("d", "negative", -3);
  prefs.setValue("d", "nits", 150.0);
  prefs.setValue("d", "half", 12.5);
  prefs.setValue("d", "style", "doublePulse");
  prefs.setValue("d", "apps", PlistValue::array({"org.example.A", "org.example.B"}));
  prefs.setValue(
      "d", "table",
      PlistValue::array({PlistValue::array({0.0, 0.0}), PlistValue::array({3.4028234663852886e38, 1000.0})}));
  EXPECT_TRUE(prefs.synchronize());

  LinuxPreferenceDomains other(directory);
  EXPECT_EQ(other.value("d", "flag"), PlistValue(true));
  auto count = other.value("d", "count");
  ASSERT_TRUE(count);
  EXPECT_TRUE(count->is_number_integer());
  EXPECT_EQ(count->get<long long>(), 7);
  EXPECT_EQ(other.value("d", "negative")->get<long long>(), -3);
  auto nits = other.value("d", "nits");
  ASSERT_TRUE(nits);
  EXPECT_TRUE(nits->is_number_float());  // a real that happens to be whole stays a real
  EXPECT_EQ(nits->get<double>(), 150.0);
  EXPECT_EQ(other.value("d", "half")->get<double>(), 12.5);
  EXPECT_EQ(other.value("d", "style"), PlistValue("doublePulse"));
  EXPECT_EQ(other.value("d", "apps"), PlistValue::array({"org.example.A", "org.example.B"}));
  EXPECT_EQ((*other.value("d", "table"))[1][0].get<double>(), 3.4028234663852886e38);

  prefs.setValue("d", "count", 8);
  EXPECT_EQ(other.value("d", "count")->get<long long>(), 8) << "another process's write is seen";
}

// A command reads many keys: a file that has not changed since the last read is not opened again,
// while every change, by rename or in place, is seen.
TEST_F(LinuxPreferenceDomainsTest, AnUnchangedFileIsReadOnce) {
  LinuxPreferenceDomains writer(directory);
  writer.setValue("d", "setting", "off");
  EXPECT_EQ(prefs.value("d", "setting"), PlistValue("off"));
  TempTree::write(fileOf("d"), "{\"setting\": \"on!\"}");
  EXPECT_EQ(prefs.value("d", "setting"), PlistValue("on!")) << "an edit in place at once is seen";

  // Contents swapped behind the cache's back with size and time put back as they were: a file that
  // looks the same, long settled, is taken as the same and not read.
  struct stat before {};
  ASSERT_EQ(::stat(fileOf("d").c_str(), &before), 0);
  const timespec old[2] = {{before.st_atim.tv_sec - 10, 0},
                           {before.st_mtim.tv_sec - 10, before.st_mtim.tv_nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, fileOf("d").c_str(), old, 0), 0);
  EXPECT_EQ(prefs.value("d", "setting"), PlistValue("on!"));
  TempTree::write(fileOf("d"), "{\"setting\": \"NO!\"}");
  ASSERT_EQ(::utimensat(AT_FDCWD, fileOf("d").c_str(), old, 0), 0);
  EXPECT_EQ(prefs.value("d", "setting"), PlistValue("on!"));
  EXPECT_EQ(prefs.value("d", "other"), std::nullopt);

  writer.setValue("d", "setting", "auto");
  EXPECT_EQ(prefs.value("d", "setting"), PlistValue("auto")) << "a replaced file is another file";
}

TEST_F(LinuxPreferenceDomainsTest, MissingKeysAndDomainsAreToldApart) {
  EXPECT_FALSE(prefs.value("d", "x"));
  EXPECT_FALSE(prefs.domain("d"));
  prefs.removeValue("d", "x");
  EXPECT_FALSE(fs::exists(directory)) << "removing from a missing domain creates nothing";

  prefs.setValue("d", "x", false);
  EXPECT_EQ(prefs.value("d", "x"), PlistValue(false));
  EXPECT_FALSE(prefs.value("d", "y"));
  prefs.removeValue("d", "x");
  EXPECT_FALSE(prefs.value("d", "x"));
  auto domain = prefs.domain("d");
  ASSERT_TRUE(domain) << "an emptied domain still exists";
  EXPECT_TRUE(domain->empty());
  EXPECT_FALSE(prefs.domain("other"));
}

TEST_F(LinuxPreferenceDomainsTest, FirstWriteCreatesPrivateFolderAndFile) {
  prefs.setValue("d", "x", 1);
  struct stat info {};
  ASSERT_EQ(::stat(directory.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(fileOf("d").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  for (const auto& entry : fs::directory_iterator(directory)) {
    EXPECT_EQ(entry.path().extension() == ".tmp", false) << entry.path();
  }
}

TEST_F(LinuxPreferenceDomainsTest, UnparsableFileReadsEmptyAndIsKeptAsideBeforeTheFirstWrite) {
  TempTree::write(fileOf("d"), "{\"setting\": \"off\",");
  EXPECT_FALSE(prefs.value("d", "setting"));
  ASSERT_TRUE(prefs.domain("d"));
  EXPECT_TRUE(prefs.domain("d")->empty());
  EXPECT_EQ(TempTree::read(fileOf("d")), "{\"setting\": \"off\",") << "reading changes nothing";

  prefs.setValue("d", "setting", "fixed");
  EXPECT_EQ(TempTree::read(fileOf("d") + ".corrupt"), "{\"setting\": \"off\",");
  EXPECT_EQ(prefs.domain("d"), (PlistDictionary{{"setting", "fixed"}}));

  // A second broken file does not clobber the first one kept aside; a non-object counts as broken.
  TempTree::write(fileOf("d"), "[1, 2]");
  EXPECT_FALSE(prefs.value("d", "setting"));
  prefs.replaceDomain("d", {{"a", 1}});
  EXPECT_EQ(TempTree::read(fileOf("d") + ".corrupt"), "{\"setting\": \"off\",");
  EXPECT_EQ(TempTree::read(fileOf("d") + ".corrupt.1"), "[1, 2]");
  EXPECT_EQ(prefs.domain("d"), (PlistDictionary{{"a", 1}}));
}

TEST_F(LinuxPreferenceDomainsTest, AbsurdlyDeepFileCountsAsBroken) {
  const std::string deep = "{\"a\": " + std::string(200000, '[') + std::string(200000, ']') + "}";
  TempTree::write(fileOf("d"), deep);
  EXPECT_FALSE(prefs.value("d", "a"));
  prefs.setValue("d", "setting", "off");
  EXPECT_EQ(TempTree::read(fileOf("d") + ".corrupt"), deep);
  EXPECT_EQ(prefs.domain("d"), (PlistDictionary{{"setting", "off"}}));

  // Ordinary nesting is kept.
  const std::string nested = "{\"a\": " + std::string(100, '[') + std::string(100, ']') + "}";
  TempTree::write(fileOf("e"), nested);
  EXPECT_TRUE(prefs.value("e", "a"));
}

TEST_F(LinuxPreferenceDomainsTest, ReplaceAndRemoveWholeDomains) {
  prefs.setValue("d", "old", 1);
  prefs.setValue("keep", "k", "v");
  prefs.replaceDomain("d", {{"new", "x"}, {"n", 2.5}});
  EXPECT_EQ(prefs.domain("d"), (PlistDictionary{{"new", "x"}, {"n", 2.5}}));
  EXPECT_FALSE(prefs.value("d", "old"));

  prefs.removeDomain("d");
  EXPECT_FALSE(prefs.domain("d"));
  EXPECT_FALSE(fs::exists(fileOf("d")));
  EXPECT_FALSE(fs::exists(fileOf("d") + ".lock")) << "removing a domain leaves nothing behind";
  EXPECT_EQ(prefs.value("keep", "k"), PlistValue("v"));
  prefs.removeDomain("d");
  prefs.removeDomain("never-written");
  prefs.removeValue("never-written", "k");
  EXPECT_TRUE(prefs.synchronize());
  EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 2)
      << "only keep.json and its lock are left";

  prefs.setValue("d", "again", true);
  EXPECT_EQ(LinuxPreferenceDomains(directory).domain("d"), (PlistDictionary{{"again", true}}));
}

TEST_F(LinuxPreferenceDomainsTest, FailedWritesAreReportedBySynchronizeAndNamesCannotEscapeTheFolder) {
  TempTree::write(scratch / "blocked", "a file where the folder should be");
  LinuxPreferenceDomains blocked(scratch / "blocked/halomark");
  blocked.setValue("d", "x", 1);
  EXPECT_FALSE(blocked.synchronize());
  EXPECT_TRUE(blocked.synchronize()) << "the failure is reported once";

  prefs.setValue("../escaped", "x", 1);
  prefs.setValue("a/b", "x", 1);
  EXPECT_FALSE(prefs.synchronize());
  EXPECT_FALSE(fs::exists(scratch / "config/escaped.json"));
  EXPECT_FALSE(prefs.value("../escaped", "x"));

  prefs.setValue("d", "text", std::string("bad \xff utf-8"));
  EXPECT_TRUE(prefs.synchronize());
  EXPECT_TRUE(prefs.value("d", "text"));
}

TEST_F(LinuxPreferenceDomainsTest, AFolderThatCannotBeReachedIsAFailureNotACrash) {
  fs::create_directories(scratch / "config");
  fs::create_symlink("halomark", directory);  // a link to itself
  prefs.setValue("d", "setting", "off");
  EXPECT_FALSE(prefs.synchronize());
  prefs.removeValue("d", "setting");
  EXPECT_FALSE(prefs.synchronize()) << "nothing can be removed from a folder that can't be opened";
  EXPECT_FALSE(prefs.value("d", "setting"));
  EXPECT_TRUE(fs::is_symlink(directory));
}

TEST_F(LinuxPreferenceDomainsTest, ALinkedFileStaysALinkAndItsTargetIsWritten) {
  std::string target = scratch / "dotfiles/d.json";
  TempTree::write(target, "{\"kept\": 1}");
  fs::create_directories(directory);
  fs::create_symlink("../../dotfiles/d.json", fileOf("d"));
  prefs.setValue("d", "setting", "off");
  EXPECT_TRUE(prefs.synchronize());
  EXPECT_TRUE(fs::is_symlink(fileOf("d")));
  EXPECT_EQ(LinuxPreferenceDomains(directory).domain("d"),
            (PlistDictionary{{"kept", 1}, {"setting", "off"}}));

  // A broken target is kept aside beside it, and the link still names the new file.
  TempTree::write(target, "{broken");
  prefs.setValue("d", "setting", "fixed");
  EXPECT_TRUE(fs::is_symlink(fileOf("d")));
  EXPECT_EQ(TempTree::read(target + ".corrupt"), "{broken");
  EXPECT_EQ(LinuxPreferenceDomains(directory).domain("d"), (PlistDictionary{{"setting", "fixed"}}));
}

TEST_F(LinuxPreferenceDomainsTest, AFileOverAMegabyteCountsAsBrokenAndNoneIsWritten) {
  const std::string huge = "{\"a\": \"" + std::string(1 << 20, 'x') + "\"}";
  TempTree::write(fileOf("d"), huge);
  EXPECT_FALSE(prefs.value("d", "a"));
  prefs.setValue("d", "setting", "off");
  EXPECT_TRUE(prefs.synchronize());
  EXPECT_EQ(TempTree::read(fileOf("d") + ".corrupt"), huge);
  EXPECT_EQ(prefs.domain("d"), (PlistDictionary{{"setting", "off"}}));

  prefs.setValue("d", "a", std::string(1 << 20, 'x'));
  EXPECT_FALSE(prefs.synchronize()) << "a file that would read back as broken is not written";
  EXPECT_EQ(LinuxPreferenceDomains(directory).domain("d"), (PlistDictionary{{"setting", "off"}}));
}

TEST_F(LinuxPreferenceDomainsTest, AWriterGivesUpWhileAnotherHoldsTheLock) {
  prefs.setValue("d", "setting", "off");
  int held = ::open((fileOf("d") + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  prefs.setValue("d", "setting", "fixed");
  EXPECT_FALSE(prefs.synchronize());
  EXPECT_EQ(LinuxPreferenceDomains(directory).value("d", "setting"), PlistValue("off"));
  ::close(held);

  prefs.setValue("d", "setting", "fixed");
  EXPECT_TRUE(prefs.synchronize()) << "the next write goes through once the lock is free";
  EXPECT_EQ(LinuxPreferenceDomains(directory).value("d", "setting"), PlistValue("fixed"));
}

TEST(LinuxPreferenceDomainsConcurrency, TwoProcessesWritingDifferentKeysLoseNothing) {
  constexpr int kWrites = 2000;
  // What is tested is the merge under the lock; memory keeps 4,000 flushed writes quick.
  TempTree scratch(TempTree::memoryBase());
  std::string directory = scratch / "halomark";
  LinuxPreferenceDomains prefs(directory);
  prefs.setValue("shared", "before", true);
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      LinuxPreferenceDomains own(directory);
      std::string prefix = child == 0 ? "a" : "b";
      for (int i = 0; i < kWrites; ++i) own.setValue("shared", prefix + std::to_string(i), i);
      _exit(own.synchronize() ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto domain = prefs.domain("shared");
  ASSERT_TRUE(domain);
  EXPECT_EQ(domain->size(), 2u * kWrites + 1);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ((*domain)["a" + std::to_string(i)], PlistValue(i));
    EXPECT_EQ((*domain)["b" + std::to_string(i)], PlistValue(i));
  }
}

TEST(LinuxPreferenceDomainsDefault, FollowsXdgConfigHome) {
  std::string savedConfig = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", "/home/someone", 1);
  setenv("XDG_CONFIG_HOME", "/tmp/xdg-config", 1);
  EXPECT_EQ(LinuxPreferenceDomains::defaultDirectory(), "/tmp/xdg-config/halomark");
  setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(LinuxPreferenceDomains::defaultDirectory(), "/home/someone/.config/halomark");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(LinuxPreferenceDomains::defaultDirectory(), "/home/someone/.config/halomark");
  if (!savedConfig.empty()) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
