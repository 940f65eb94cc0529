#include "app/url_command.h"

#include <string_view>
#include <vector>

namespace {

struct UrlParts {
  std::string scheme;
  std::string host;
  std::string path;
  std::optional<std::string> query;
};

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// None on a '%' that does not start two hex digits. '+' stays a plus sign.
std::optional<std::string> percentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    int high = hexValue(text[i + 1]);
    int low = hexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return decoded;
}

// Only printable ASCII other than the space can stand in a URL; anything else is malformed.
bool hasOnlyUrlCharacters(std::string_view text) {
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) return false;
  }
  return true;
}

// scheme ":" [ "//" authority ] path [ "?" query ] [ "#" fragment ]; the host is the authority
// without user information and port.
std::optional<UrlParts> split(std::string_view url) {
  auto colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  UrlParts parts;
  parts.scheme = url.substr(0, colon);
  std::string_view rest = url.substr(colon + 1);
  rest = rest.substr(0, rest.find('#'));
  if (auto question = rest.find('?'); question != std::string_view::npos) {
    parts.query = std::string(rest.substr(question + 1));
    rest = rest.substr(0, question);
  }
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    auto slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    if (auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    parts.host = authority.substr(0, authority.find(':'));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  parts.path = rest;
  return parts;
}

struct QueryItem {
  std::string name;
  std::optional<std::string> value;
};

std::optional<std::vector<QueryItem>> queryItems(std::string_view query) {
  std::vector<QueryItem> items;
  while (true) {
    auto amp = query.find('&');
    std::string_view item = query.substr(0, amp);
    auto equals = item.find('=');
    auto name = percentDecoded(item.substr(0, equals));
    if (!name) return std::nullopt;
    QueryItem parsed{*name, std::nullopt};
    if (equals != std::string_view::npos) {
      parsed.value = percentDecoded(item.substr(equals + 1));
      if (!parsed.value) return std::nullopt;
    }
    items.push_back(std::move(parsed));
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return items;
}

std::optional<std::string> firstValue(const std::vector<QueryItem>& items, const std::string& name) {
  for (const auto& item : items) {
    if (item.name == name) return item.value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<UrlCommand> parseUrlCommand(const std::string& url) {
  auto parts = split(url);
  if (!parts || parts->scheme != "halomark" || parts->host != "signal") return std::nullopt;
  UrlCommand command;
  auto path = percentDecoded(parts->path);
  command.action = path == "/stop" ? UrlCommand::Action::stop : UrlCommand::Action::start;
  if (!parts->query || !hasOnlyUrlCharacters(url) || !path) return command;
  auto items = queryItems(*parts->query);
  if (!items) return command;
  command.message = firstValue(*items, "message");
  if (auto style = firstValue(*items, "style")) command.style = Prefs::signalStyleFromRaw(*style);
  return command;
}
