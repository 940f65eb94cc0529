#include "app/open_url_request.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

TEST(OpenURLRequest, HandsTheUrlToTheRunningApplication) {
  FakePlatform fake;
  fake.instances.running = true;
  EXPECT_EQ(OpenURLRequest::forward({"halomark://signal/stop"}, fake.platform), 0);
  EXPECT_TRUE(fake.bundles.opened.empty());
  ASSERT_EQ(fake.instances.openedURLs.size(), 1u);
  EXPECT_EQ(fake.instances.openedURLs[0], std::vector<std::string>{"halomark://signal/stop"});
}

TEST(OpenURLRequest, StartsTheApplicationAndWaitsForIt) {
  FakePlatform fake;
  fake.process.args = {"/opt/Halomark.app/Contents/MacOS/Halomark", "halomark://signal"};
  // The started application takes its name 0.35 s later.
  fake.clock.after(0.35, [&] { fake.instances.running = true; });
  EXPECT_EQ(OpenURLRequest::forward({"halomark://signal"}, fake.platform), 0);
  EXPECT_EQ(fake.bundles.opened, std::vector<std::string>{"/opt/Halomark.app"});
  EXPECT_NEAR(fake.clock.slept, 0.4, 1e-9);
  ASSERT_EQ(fake.instances.openedURLs.size(), 1u);
}

TEST(OpenURLRequest, GivesUpQuietlyWhenTheApplicationCannotStart) {
  FakePlatform fake;
  fake.process.args = {"/opt/Halomark.app/Contents/MacOS/Halomark", "halomark://signal"};
  fake.bundles.openError = "no such file";
  EXPECT_EQ(OpenURLRequest::forward({"halomark://signal"}, fake.platform), 0);
  EXPECT_EQ(fake.clock.slept, 0) << "no wait for an application that failed to start";

  FakePlatform slow;
  slow.process.args = {"/opt/Halomark.app/Contents/MacOS/Halomark", "halomark://signal"};
  EXPECT_EQ(OpenURLRequest::forward({"halomark://signal"}, slow.platform), 0);
  EXPECT_NEAR(slow.clock.slept, 5, 1e-6) << "waits at most five seconds for the name";
}

}  // namespace
