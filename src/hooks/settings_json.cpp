#include "hooks/settings_json.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include "hooks/hook_error.h"

namespace ClaudeHook {

namespace {

using Json = nlohmann::json;

// A double tells apart every decimal of up to 17 significant digits that it can hold; more digits
// than that would be rounded away when the file is written back.
constexpr std::size_t kMaxSignificantDigits = 17;

// The library's messages start with an identifier such as "[json.exception.parse_error.101] ".
std::string withoutIdentifier(const std::string& message) {
  if (message.empty() || message.front() != '[') return message;
  auto end = message.find("] ");
  return end == std::string::npos ? message : message.substr(end + 2);
}

// The mantissa's digits without leading or trailing zeros ("0.0150e3" has 2).
std::size_t significantDigits(std::string_view number) {
  std::string digits;
  for (char c : number) {
    if (c == 'e' || c == 'E') break;
    if (c >= '0' && c <= '9') digits += c;
  }
  auto first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  return digits.find_last_not_of('0') - first + 1;
}

// Builds the document like the library's own reader, and checks every value as it goes.
class SettingsReader : public Json::json_sax_t {
 public:
  Json root;
  std::string error;

  bool null() override { return add(nullptr); }
  bool boolean(bool value) override { return add(value); }
  bool number_integer(number_integer_t value) override { return add(value); }
  bool number_unsigned(number_unsigned_t value) override { return add(value); }
  bool number_float(number_float_t value, const string_t& text) override {
    std::size_t digits = significantDigits(text);
    if (digits > kMaxSignificantDigits || (value == 0 && digits > 0)) {
      throw HookError::unreadable("the number " + text + " can't be kept exactly");
    }
    return add(value);
  }
  bool string(string_t& value) override { return add(std::move(value)); }
  bool binary(binary_t& value) override { return add(Json::binary(std::move(value))); }
  bool start_object(std::size_t) override { return open(Json::object()); }
  bool key(string_t& name) override {
    member_ = &(*open_.back())[name];
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(Json::array()); }
  bool end_array() override { return close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception& failure) override {
    error = withoutIdentifier(failure.what());
    return false;
  }

 private:
  // Values go into the innermost open array, or to the member whose key came last. A later
  // duplicate key replaces the earlier value, as JavaScript's reader does.
  template <typename Value>
  Json* place(Value&& value) {
    if (open_.empty()) {
      root = Json(std::forward<Value>(value));
      return &root;
    }
    if (open_.back()->is_array()) {
      open_.back()->push_back(Json(std::forward<Value>(value)));
      return &open_.back()->back();
    }
    *member_ = Json(std::forward<Value>(value));
    return member_;
  }
  template <typename Value>
  bool add(Value&& value) {
    place(std::forward<Value>(value));
    return true;
  }
  bool open(Json container) {
    if (open_.size() >= kMaxSettingsDepth) throw HookError::unreadable("it's nested too deeply");
    open_.push_back(place(std::move(container)));
    return true;
  }
  bool close() {
    open_.pop_back();
    return true;
  }

  std::vector<Json*> open_;
  Json* member_ = nullptr;
};

}  // namespace

Json parseSettings(const std::string& bytes, const std::string& path) {
  SettingsReader reader;
  if (!Json::sax_parse(bytes, &reader)) throw PlatformError(path + ": " + reader.error);
  return std::move(reader.root);
}

std::string serializeSettings(const Json& settings, const std::string& path) {
  try {
    return settings.dump(2, ' ', false, Json::error_handler_t::strict) + "\n";
  } catch (const Json::type_error& failure) {
    throw PlatformError("couldn't write " + path + ": " + withoutIdentifier(failure.what()));
  }
}

}  // namespace ClaudeHook
