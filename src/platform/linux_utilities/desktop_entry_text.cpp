#include "platform/linux_utilities/desktop_entry_text.h"

#include <algorithm>

namespace {

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or values past U+10FFFF.
bool isUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte < 0x80           ? 1
                         : (byte >> 5) == 0x6  ? 2
                         : (byte >> 4) == 0xE  ? 3
                         : (byte >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

bool isControl(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// A value stored as it stands, where nothing is unescaped.
std::optional<std::string> plainValue(std::string_view value) {
  if (!isUtf8(value)) return std::nullopt;
  for (char c : value) {
    if (isControl(c) || c == '\\') return std::nullopt;
  }
  return std::string(value);
}

}  // namespace

DesktopEntryText::DesktopEntryText(std::string_view group, Format format)
    : format_(format), text_("[" + std::string(group) + "]\n") {}

DesktopEntryText& DesktopEntryText::group(std::string_view name) {
  text_ += "\n[" + std::string(name) + "]\n";
  return *this;
}

std::optional<std::string> DesktopEntryText::escapedValue(std::string_view value) {
  if (!isUtf8(value)) return std::nullopt;
  std::string escaped;
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else if (c == '\t')
      escaped += "\\t";
    else if (c == '\r')
      escaped += "\\r";
    else if (isControl(c))
      return std::nullopt;
    // Leading spaces would be taken for the space around the equals sign.
    else if (c == ' ' && i == 0)
      escaped += "\\s";
    else
      escaped += c;
  }
  return escaped;
}

std::optional<std::string> DesktopEntryText::quotedArgument(std::string_view argument) {
  if (!isUtf8(argument)) return std::nullopt;
  std::string quoted = "\"";
  for (char c : argument) {
    if (isControl(c)) return std::nullopt;
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

void DesktopEntryText::refuse(std::string_view key, std::string_view problem) {
  if (!refusal_.empty()) return;
  refusal_ = "its " + std::string(key) + " value " +
             (problem.empty() ? "holds a line break, another control character or text that isn't UTF-8"
                              : std::string(problem));
}

std::optional<std::string> DesktopEntryText::execArgument(std::string_view argument,
                                                          std::string& problem) const {
  if (format_ == Format::desktopEntry) {
    // GLib looks for the program before it expands field codes, so a doubled percent sign in its
    // path names a file that does not exist and the entry is dropped.
    if (argument.find('%') != std::string_view::npos) {
      problem = "holds a percent sign, which desktops built on GLib cannot launch";
      return std::nullopt;
    }
    return quotedArgument(argument);
  }
  // D-Bus takes a service file's values as they stand (a backslash makes it skip the file) and
  // splits Exec as a shell would, without expanding anything: double quotes carry every character
  // but '"' and '\', single quotes every one but '\'' and '\'.
  if (!isUtf8(argument) || std::any_of(argument.begin(), argument.end(), isControl)) return std::nullopt;
  if (argument.find('\\') != std::string_view::npos) {
    problem = "holds a backslash, which D-Bus service files cannot carry";
    return std::nullopt;
  }
  if (argument.find('"') == std::string_view::npos) return "\"" + std::string(argument) + "\"";
  if (argument.find('\'') == std::string_view::npos) return "'" + std::string(argument) + "'";
  problem = "holds both kinds of quotation mark, which D-Bus service files cannot carry together";
  return std::nullopt;
}

DesktopEntryText& DesktopEntryText::add(std::string_view key, std::string_view value) {
  auto stored = format_ == Format::desktopEntry ? escapedValue(value) : plainValue(value);
  if (!stored) {
    refuse(key);
    return *this;
  }
  text_ += std::string(key) + "=" + *stored + "\n";
  return *this;
}

DesktopEntryText& DesktopEntryText::addExec(std::string_view key, const std::vector<std::string>& arguments,
                                            std::string_view fieldCode) {
  std::string line;
  for (const auto& argument : arguments) {
    std::string problem;
    auto quoted = execArgument(argument, problem);
    if (!quoted) {
      refuse(key, problem);
      return *this;
    }
    if (!line.empty()) line += ' ';
    line += *quoted;
  }
  if (!fieldCode.empty()) line += " " + std::string(fieldCode);
  if (format_ == Format::dbusService) {
    text_ += std::string(key) + "=" + line + "\n";
    return *this;
  }
  // The quoting is undone after the string value's escapes, so those are applied last.
  return add(key, line);
}

std::optional<std::string> DesktopEntryText::text() const {
  if (!refusal_.empty()) return std::nullopt;
  return text_;
}
