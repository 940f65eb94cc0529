#include "updates/appcast.h"

#include <gtest/gtest.h>

namespace {

std::string feed(const std::string& items) {
  return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel><title>Halomark</title>)" +
         items + "</channel></rss>";
}

std::vector<AppcastItem> items(const std::string& xml) {
  auto parsed = Appcast::parse(xml);
  if (auto* problem = std::get_if<std::string>(&parsed)) ADD_FAILURE() << *problem;
  auto* list = std::get_if<std::vector<AppcastItem>>(&parsed);
  return list ? *list : std::vector<AppcastItem>{};
}

std::string problem(const std::string& xml) {
  auto parsed = Appcast::parse(xml);
  auto* text = std::get_if<std::string>(&parsed);
  return text ? *text : "parsed";
}

TEST(AppcastTest, ReadsVersionsLinksFromElementsOrTheEnclosure) {
  auto parsed = items(feed(R"(
    <item><title>Halomark 1.4</title>
      <sparkle:version>27</sparkle:version><sparkle:shortVersionString>1.4</sparkle:shortVersionString>
      <sparkle:releaseNotesLink>https://example.org/notes/1.4</sparkle:releaseNotesLink>
      <enclosure url="https://example.org/Halomark-1.4.tar.gz" length="10" type="application/octet-stream"/>
    </item>
    <item><title>Halomark 1.5</title><link>https://example.org/download</link>
      <enclosure sparkle:version="31" sparkle:shortVersionString="1.5" url="https://example.org/1.5.tgz"/>
    </item>
    <item><sparkle:version> 12 </sparkle:version><link>http://example.org/old</link></item>)"));
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[0].title, "Halomark 1.4");
  EXPECT_EQ(parsed[0].version, "27");
  EXPECT_EQ(parsed[0].displayVersion, "1.4");
  EXPECT_EQ(parsed[0].releaseNotesLink, "https://example.org/notes/1.4");
  EXPECT_EQ(parsed[0].downloadLink, "https://example.org/Halomark-1.4.tar.gz");
  EXPECT_EQ(parsed[1].version, "31");
  EXPECT_EQ(parsed[1].displayVersion, "1.5");
  EXPECT_EQ(parsed[1].downloadLink, "https://example.org/1.5.tgz");
  EXPECT_EQ(parsed[2].version, "12");
  EXPECT_EQ(parsed[2].displayVersion, "12");
  EXPECT_EQ(parsed[2].downloadLink, "http://example.org/old");
  EXPECT_EQ(Appcast::newest(parsed)->version, "31");
}

TEST(AppcastTest, NewestIsByVersionNotByPosition) {
  auto parsed = items(feed(R"(
    <item><sparkle:version>1.10</sparkle:version><link>https://e.org/a</link></item>
    <item><sparkle:version>1.9</sparkle:version><link>https://e.org/b</link></item>
    <item><sparkle:version>1.10b1</sparkle:version><link>https://e.org/c</link></item>)"));
  EXPECT_EQ(Appcast::newest(parsed)->downloadLink, "https://e.org/a");
  EXPECT_EQ(Appcast::newest({}), std::nullopt);
  EXPECT_TRUE(items(feed("")).empty());
}

TEST(AppcastTest, BrokenFeedsSayWhyInsteadOfAnswering) {
  EXPECT_EQ(problem("<rss><channel><item>"), "The update feed is not valid XML.");
  EXPECT_EQ(problem(""), "The update feed is not valid XML.");
  EXPECT_EQ(problem("<html><body>Not found</body></html>"), "The update feed is not an RSS feed.");
  EXPECT_EQ(problem(feed("<item><link>https://e.org/a</link></item>")),
            "A release in the update feed has no version.");
  EXPECT_EQ(problem(feed("<item><sparkle:version>99999999999999999999</sparkle:version>"
                         "<link>https://e.org/a</link></item>")),
            "The update feed announces a version that makes no sense.");
  EXPECT_EQ(problem(feed("<item><sparkle:version>2</sparkle:version></item>")),
            "A release in the update feed has no download link.");
  EXPECT_EQ(problem(feed("<item><sparkle:version>2</sparkle:version><link>file:///etc/passwd</link></item>")),
            "The update feed links to something other than a web page.");
  EXPECT_EQ(problem(feed("<item><sparkle:version>2</sparkle:version><link>https://e.org</link>"
                         "<sparkle:releaseNotesLink>javascript:alert(1)</sparkle:releaseNotesLink></item>")),
            "The update feed links to something other than a web page.");
  // A line break inside a link would show as extra lines in the notification that offers it.
  for (const char* link :
       {"https://e.org/a&#10;Run this: curl evil", "https://e.org/&#13;x", "https://e.org/&#9;x"})
    EXPECT_EQ(problem(feed(std::string("<item><sparkle:version>2</sparkle:version><enclosure url=\"") + link +
                           "\"/></item>")),
              "The update feed links to something other than a web page.")
        << link;
  EXPECT_EQ(
      problem(feed("<item><sparkle:version>2</sparkle:version><link>https://e.org</link>"
                   "<sparkle:releaseNotesLink>https://e.org/notes\nmore</sparkle:releaseNotesLink></item>")),
      "The update feed links to something other than a web page.");
  // A good release beside a broken one is no answer either.
  EXPECT_EQ(problem(feed("<item><sparkle:version>2</sparkle:version><link>https://e.org</link></item>"
                         "<item><title>3.0</title><link>https://e.org/3</link></item>")),
            "A release in the update feed has no version.");
}

TEST(AppcastTest, DocumentTypesPullInNothing) {
  std::string xml = R"(<?xml version="1.0"?>
<!DOCTYPE rss [<!ENTITY secret SYSTEM "file:///etc/hostname"><!ENTITY a "aaaaaaaaaa">]>
<rss xmlns:sparkle="x"><channel><item><title>&secret;&a;&a;</title>
<sparkle:version>2</sparkle:version><link>https://e.org</link></item></channel></rss>)";
  auto parsed = items(xml);
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].title.find("aaaa"), std::string::npos);
}

}  // namespace
