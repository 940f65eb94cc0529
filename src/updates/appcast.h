// Reading an appcast: the RSS feed that announces releases, one item per release with its version
// (compared with the bundle's build version), the version shown to people, a release-notes link and
// a download link.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

struct AppcastItem {
  std::string title;
  std::string version;           // compared with CFBundleVersion
  std::string displayVersion;    // the short version string, else the version
  std::string releaseNotesLink;  // may be empty
  std::string downloadLink;      // the enclosure, else the item's link
};

namespace Appcast {

// Every item of the feed, or a sentence saying why the feed cannot be trusted: malformed XML, an
// item without a version or a link, an implausible version, or a link that is not http(s). One bad
// item spoils the whole feed, so a broken newest release never reads as "up to date".
std::variant<std::vector<AppcastItem>, std::string> parse(const std::string& xml);

// The item with the highest version; none for an empty list.
std::optional<AppcastItem> newest(const std::vector<AppcastItem>& items);

}  // namespace Appcast
