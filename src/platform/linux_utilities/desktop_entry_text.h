// The text of a desktop entry, or of a file in the same key-value format (autostart entries, D-Bus
// service files). Every value written goes through here, so a value can never add lines or keys of
// its own: string values are escaped, Exec arguments quoted, and a value that cannot be written
// safely (a control character in a path, text that is not UTF-8) refuses the whole file. So does a
// path that the file's readers could not run although it is written correctly: GLib cannot start
// a desktop entry's program whose path holds a percent sign, and D-Bus reads no backslash in a
// service file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class DesktopEntryText {
 public:
  // How values are stored: desktop entries escape them as string values; D-Bus service files are
  // read as they stand, so nothing may need escaping there.
  enum class Format { desktopEntry, dbusService };

  // Starts the file with the group header "[group]".
  DesktopEntryText(std::string_view group, Format format = Format::desktopEntry);

  // Starts another group, "[group]", after a blank line; the keys that follow belong to it.
  DesktopEntryText& group(std::string_view name);
  // key=value.
  DesktopEntryText& add(std::string_view key, std::string_view value);
  // key=the arguments, each quoted by the Exec rules, then `fieldCode` (such as "%u", or a plain
  // word that needs no quoting) when given.
  DesktopEntryText& addExec(std::string_view key, const std::vector<std::string>& arguments,
                            std::string_view fieldCode = {});

  // The file's text; none when a value was refused.
  std::optional<std::string> text() const;
  // Why the first refused value could not be written; empty when none was.
  const std::string& refusal() const { return refusal_; }

  // A string value escaped for a desktop entry; none for text that cannot be represented.
  static std::optional<std::string> escapedValue(std::string_view value);
  // One Exec argument of a desktop entry in double quotes with the characters the quoting reserves
  // escaped; none for an argument with control characters, which launchers do not agree on.
  static std::optional<std::string> quotedArgument(std::string_view argument);

 private:
  // The argument as this format's Exec holds it, or why it cannot hold it.
  std::optional<std::string> execArgument(std::string_view argument, std::string& problem) const;
  void refuse(std::string_view key, std::string_view problem = {});

  Format format_;
  std::string text_;
  std::string refusal_;
};
