// The failures the Claude Code hook editor reports. Each carries the text a user is shown, so
// callers print `what()` as it is.
#pragma once

#include <stdexcept>
#include <string>

namespace ClaudeHook {

// The settings file is readable but not something the editor may rewrite.
class HookError : public std::runtime_error {
 public:
  enum class Kind { unreadable };

  static HookError unreadable(const std::string& text) { return HookError(Kind::unreadable, text); }

  Kind kind() const { return kind_; }
  const std::string& text() const { return text_; }
  std::string description() const { return what(); }

 private:
  HookError(Kind kind, const std::string& text)
      : std::runtime_error("Couldn't read Claude Code's settings: " + text), kind_(kind), text_(text) {}

  Kind kind_;
  std::string text_;
};

// A failure of the file system or of the JSON reader or writer, passed on with its own description.
class PlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  std::string description() const { return what(); }
};

}  // namespace ClaudeHook
