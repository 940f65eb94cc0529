#include "maintenance/command_links.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "maintenance/bundle.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kOwnedDestinationSuffix = ".app/Contents/MacOS/Halomark";

// The destination text of the symbolic link at `path`, or none when nothing readable is a link there.
std::optional<fs::path> linkDestination(const fs::path& path) {
  std::error_code error;
  fs::path destination = fs::read_symlink(path, error);
  if (error) return std::nullopt;
  return destination;
}

std::optional<fs::path> realPath(const fs::path& path) {
  std::error_code error;
  fs::path real = fs::canonical(path, error);
  if (error) return std::nullopt;
  return real;
}

// Where the link at `link` leads, all links followed; a relative destination starts from the folder
// that holds the link.
std::optional<fs::path> resolvedDestination(const fs::path& link) {
  auto destination = linkDestination(link);
  if (!destination) return std::nullopt;
  return realPath(link.parent_path() / *destination);
}

bool liesInside(const fs::path& path, const fs::path& bundleRealPath) {
  return path.string().starts_with(bundleRealPath.string() + "/");
}

bool looksLikeOurLink(const fs::path& link) {
  auto destination = linkDestination(link);
  return destination && destination->string().ends_with(kOwnedDestinationSuffix);
}

std::optional<std::string> runAsAdministrator(const std::string& command, PrivilegedShell& shell) {
  PrivilegedResult result = shell.run(command);
  if (result.outcome != PrivilegedResult::Outcome::failed) return std::nullopt;
  if (result.message && !result.message->empty()) return result.message;
  return "Unknown error";
}

// Plain file operations for creating the link; false when any of them is refused.
bool createLink(const fs::path& target, const fs::path& link, bool replaceExisting) {
  std::error_code error;
  fs::create_directories(link.parent_path(), error);
  if (error) return false;
  if (replaceExisting) fs::remove(link, error);
  if (error) return false;
  fs::create_symlink(target, link, error);
  return !error;
}

}  // namespace

namespace Maintenance {

CommandLinkLocations commandLinkLocations(const std::string& homeDirectory) {
  fs::path home(homeDirectory);
  return {"/usr/local/bin/halomark",
          {"/usr/local/bin/halomark", "/opt/homebrew/bin/halomark", (home / ".local/bin/halomark").string(),
           (home / "bin/halomark").string()}};
}

bool isCommandInstalled(const std::string& appBundle, const CommandLinkLocations& locations) {
  auto destination = resolvedDestination(locations.standard);
  auto bundle = realPath(appBundle);
  return destination && bundle && liesInside(*destination, *bundle);
}

Failure setCommandInstalled(bool installed, const std::string& appBundle,
                            const CommandLinkLocations& locations, PrivilegedShell& shell) {
  const fs::path link(locations.standard);
  const std::string target = executablePath(appBundle);
  std::error_code error;
  fs::file_status status = fs::symlink_status(link, error);
  bool occupied = !error && status.type() != fs::file_type::not_found;

  if (occupied && !(fs::is_symlink(status) && looksLikeOurLink(link))) {
    return locations.standard + " already exists and isn't Halomark's. Remove or rename it first.";
  }
  if (!installed) {
    if (!occupied) return std::nullopt;
    fs::remove(link, error);
    if (!error) return std::nullopt;
    return runAsAdministrator(linkRemovalCommand(locations.standard), shell);
  }
  if (createLink(target, link, occupied)) return std::nullopt;
  return runAsAdministrator(linkCreationCommand(target, locations.standard), shell);
}

RemovedCommandLinks removeCommandLinks(const std::string& appBundle, const CommandLinkLocations& locations) {
  RemovedCommandLinks result;
  // Without the bundle's real path nothing can be shown to lead into it.
  auto bundle = realPath(appBundle);
  if (!bundle) return result;
  for (const auto& location : locations.cleaned) {
    auto destination = resolvedDestination(location);
    if (!destination || !liesInside(*destination, *bundle)) continue;
    std::error_code error;
    fs::remove(location, error);
    if (!error) {
      result.removed.push_back(location);
    } else {
      result.failed.push_back(location);
    }
  }
  return result;
}

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string shellWord(const std::string& text) {
  auto literal = [](unsigned char c) {
    return std::isalnum(c) ||
           std::string_view("/._-+,:=@%").find(static_cast<char>(c)) != std::string_view::npos;
  };
  if (!text.empty() && std::all_of(text.begin(), text.end(), literal)) return text;
  return shellQuoted(text);
}

std::string linkCreationCommand(const std::string& target, const std::string& link) {
  // -n: an existing link to a folder is replaced rather than followed into.
  return "mkdir -p " + shellQuoted(fs::path(link).parent_path().string()) + " && ln -sfn " +
         shellQuoted(target) + " " + shellQuoted(link);
}

std::string linkRemovalCommand(const std::string& link) { return "rm -f " + shellQuoted(link); }

}  // namespace Maintenance
