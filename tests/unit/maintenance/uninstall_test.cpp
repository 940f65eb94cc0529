#include "maintenance/uninstall.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_platform.h"
#include "fakes/temp_tree.h"
#include "formats/app_identifier.h"

namespace fs = std::filesystem;

namespace {

using Journal = std::vector<std::string>;

// Fakes that write each step into one journal, so the order across services can be checked.
class JournalingBrightness : public FakeBrightnessClient {
 public:
  explicit JournalingBrightness(Journal& journal) : journal_(journal) {}
  std::optional<bool> setProperty(const PlistValue& value, const std::string& key) override {
    if (key == "LEBacklightMode") journal_.push_back("logo mode " + value.dump());
    return FakeBrightnessClient::setProperty(value, key);
  }

 private:
  Journal& journal_;
};

class JournalingDomains : public FakePreferenceDomains {
 public:
  explicit JournalingDomains(Journal& journal) : journal_(journal) {}
  void removeDomain(const std::string& domain) override {
    journal_.push_back("remove " + domain);
    FakePreferenceDomains::removeDomain(domain);
  }
  bool synchronize() override {
    journal_.push_back("synchronize");
    return FakePreferenceDomains::synchronize();
  }

 private:
  Journal& journal_;
};

class JournalingLoginItems : public FakeLoginItems {
 public:
  explicit JournalingLoginItems(Journal& journal) : journal_(journal) {}
  std::optional<std::string> disable() override {
    journal_.push_back("disable login item");
    return FakeLoginItems::disable();
  }

 private:
  Journal& journal_;
};

class JournalingTrash : public FakeTrash {
 public:
  JournalingTrash(Journal& journal, std::string link) : journal_(journal), link_(std::move(link)) {}
  std::variant<Trashed, TrashFailure> moveToTrash(const std::string& path) override {
    bool linkGone = !fs::exists(fs::symlink_status(link_));
    journal_.push_back(std::string("trash bundle") + (linkGone ? " after the links" : " before the links"));
    return FakeTrash::moveToTrash(path);
  }

 private:
  Journal& journal_;
  std::string link_;
};

class JournalingDesktop : public FakeDesktopIntegration {
 public:
  explicit JournalingDesktop(Journal& journal) : journal_(journal) {}
  std::vector<std::string> remove() override {
    journal_.push_back("remove desktop files");
    return FakeDesktopIntegration::remove();
  }

 private:
  Journal& journal_;
};

class UninstallTest : public ::testing::Test {
 protected:
  UninstallTest() {
    fake.bundles.mainIdentifier = kAppIdentifier;
    loginItems.enabled = true;
    for (const char* domain : {kAppIdentifier, kLegacyIdentifier1, kLegacyIdentifier2}) {
      preferences.domains[domain]["setting"] = "off";
    }
    brightness.properties["LEPWMState"] = PlistDictionary{{"FinalNits", 0.0}};
    tree.makeLink("home/bin/halomark", bundle + "/Contents/MacOS/Halomark");
  }

  Maintenance::UninstallResult uninstall() {
    return Maintenance::uninstall(bundle, logo, prefs, platform, locations);
  }

  Journal journal;
  TempTree tree;
  std::string bundle = tree.makeBundle("Applications/Halomark.app");
  Maintenance::CommandLinkLocations locations{
      tree.path("usr/local/bin/halomark"),
      {tree.path("usr/local/bin/halomark"), tree.path("home/bin/halomark")}};
  FakePlatform fake;
  JournalingBrightness brightness{journal};
  JournalingDomains preferences{journal};
  JournalingLoginItems loginItems{journal};
  JournalingTrash trash{journal, locations.cleaned[1]};
  JournalingDesktop desktop{journal};
  Platform platform = fake.with({.preferences = &preferences,
                                 .brightness = &brightness,
                                 .loginItems = &loginItems,
                                 .trash = &trash,
                                 .desktop = &desktop});
  Prefs prefs{preferences};
  LogoController logo{platform};
};

TEST_F(UninstallTest, RunsEveryStepInOrder) {
  auto result = uninstall();
  EXPECT_EQ(journal, (Journal{"logo mode 2", "disable login item", "remove app.halomark.Halomark",
                              "remove app.orrin.Orrin", "remove app.halomark.Orrin", "synchronize",
                              "trash bundle after the links", "remove desktop files"}));
  EXPECT_EQ(brightness.writesOf("LEPWMBrightnessNitsMapping").size(), 1u);
  EXPECT_EQ(trash.trashed, std::vector<std::string>{bundle});
  EXPECT_EQ(result.trashedApp, "/home/tester/.local/share/Trash/files/Halomark.app");
  EXPECT_EQ(result.removedLinks, std::vector<std::string>{locations.cleaned[1]});
  EXPECT_TRUE(result.failedLinks.empty());
  EXPECT_TRUE(result.errors.empty());
  EXPECT_TRUE(preferences.domains.empty());
  EXPECT_FALSE(loginItems.enabled);
}

TEST_F(UninstallTest, LeavesAPackagedBundleToThePackageManagerAndCleansUpTheRest) {
  fake.bundles.packageByPath[bundle] = "halomark";
  auto result = uninstall();
  EXPECT_EQ(journal, (Journal{"logo mode 2", "disable login item", "remove app.halomark.Halomark",
                              "remove app.orrin.Orrin", "remove app.halomark.Orrin", "synchronize",
                              "remove desktop files"}));
  EXPECT_TRUE(trash.trashed.empty());
  EXPECT_EQ(result.installedByPackage, "halomark");
  EXPECT_EQ(result.trashedApp, std::nullopt);
  EXPECT_EQ(result.removedLinks, std::vector<std::string>{locations.cleaned[1]});
  EXPECT_TRUE(result.errors.empty()) << "the program staying in place is no failure";
}

TEST_F(UninstallTest, EveryFailureIsCollectedAndNoneStopsTheRest) {
  loginItems.failure = "Permission denied";
  trash.result = TrashFailure{"No such file or directory"};
  desktop.removeErrors = {"Couldn't remove halomark.desktop"};
  auto result = uninstall();
  EXPECT_EQ(result.errors,
            (std::vector<std::string>{"Launch at Login: Permission denied",
                                      "Moving Halomark to the Trash: No such file or directory",
                                      "Couldn't remove halomark.desktop"}));
  EXPECT_EQ(result.trashedApp, std::nullopt);
  EXPECT_EQ(result.removedLinks.size(), 1u);
  EXPECT_TRUE(preferences.domains.empty());
  EXPECT_EQ(desktop.removals, 1);
}

TEST_F(UninstallTest, ReportsLinksThatCouldNotBeDeleted) {
  // The process's working-directory link lies inside the bundle and cannot be deleted by anyone.
  WorkingDirectory inside(bundle + "/Contents");
  locations.cleaned = {"/proc/self/cwd", locations.cleaned[1]};
  auto result = uninstall();
  EXPECT_EQ(result.failedLinks, std::vector<std::string>{"/proc/self/cwd"});
  EXPECT_EQ(result.removedLinks, std::vector<std::string>{locations.cleaned[1]});
  EXPECT_TRUE(result.errors.empty());
}

TEST_F(UninstallTest, LeavesAnUnavailableLogoAloneAndStillRemovesEverything) {
  brightness.clientExists = false;
  auto result = uninstall();
  EXPECT_TRUE(brightness.writes.empty());
  EXPECT_EQ(result.removedLinks.size(), 1u);
  EXPECT_EQ(trash.trashed.size(), 1u);
  EXPECT_TRUE(preferences.domains.empty());
}

TEST_F(UninstallTest, TouchesTheLoginItemOnlyWhenEnabledAndRunFromTheApplication) {
  loginItems.enabled = false;
  loginItems.failure = "would fail";
  EXPECT_TRUE(uninstall().errors.empty());
  EXPECT_EQ(loginItems.disableCalls, 0);

  loginItems.enabled = true;
  fake.bundles.mainIdentifier = "org.example.Other";
  EXPECT_TRUE(uninstall().errors.empty());
  EXPECT_EQ(loginItems.disableCalls, 0);
}

TEST_F(UninstallTest, ATrashWithoutALocationLeavesItUnset) {
  trash.result = Trashed{std::nullopt};
  auto result = uninstall();
  EXPECT_EQ(result.trashedApp, std::nullopt);
  EXPECT_TRUE(result.errors.empty());
}

TEST_F(UninstallTest, ResetStoresAutomaticAllowsTheFullRangeAndRestoresTheLogo) {
  prefs.setSetting(Setting::fixed(80));
  prefs.setSetting(Setting::off());
  prefs.set("ignoreLimits", false);
  Maintenance::resetToApple(logo, prefs);
  EXPECT_EQ(prefs.setting(), Setting::automatic());
  EXPECT_EQ(prefs.optionalString("lastOn"), "automatic");
  EXPECT_EQ(prefs.optionalBool("ignoreLimits"), true);
  EXPECT_EQ(prefs.doubleValue("fixedNits"), 80);
  EXPECT_EQ(brightness.writesOf("LEBacklightMode"), std::vector<PlistValue>{2});
  EXPECT_EQ(brightness.writesOf("LEPWMLuxToMaxNitsRestrictionMapping").size(), 1u);
}

}  // namespace
