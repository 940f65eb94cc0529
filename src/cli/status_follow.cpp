#include "cli/status_follow.h"

#include <ostream>

#include "cli/status_formats.h"
#include "formats/app_identifier.h"

namespace StatusFollow {

namespace {

constexpr const char* kUsage = "usage: halomark status [--json | --format waybar] [--follow]\n";

// Follows the state on the bus while the application publishes it, else from the preference
// folder, and prints each state that differs from the one printed last.
class Follower {
 public:
  Follower(Format format, Prefs& prefs, CliContext& context)
      : format_(format), prefs_(prefs), context_(context), platform_(context.platform) {}

  int run() {
    platform_.mainLoop.prepare();
    onBus_ = platform_.applicationState.follow(kAppIdentifier, [this] { show(); });
    // While the application publishes its state, its announcements follow every change it applies;
    // the folder would only tell the same change earlier, before the logo shows it.
    platform_.preferenceWatch.watch(kAppIdentifier, [this] {
      if (!publishing()) show();
    });
    show();
    platform_.mainLoop.run();
    return 0;
  }

 private:
  bool publishing() { return onBus_ && platform_.applicationState.published(kAppIdentifier).has_value(); }

  void show() {
    std::optional<PlistDictionary> published;
    bool running = false;
    if (onBus_) {
      published = platform_.applicationState.published(kAppIdentifier);
      running = published.has_value();
    } else {
      running = platform_.instances.isRunning(kAppIdentifier);
    }
    std::string now = line(format_, prefs_, platform_, running, published);
    if (now == last_) return;
    last_ = now;
    context_.out << now << '\n' << std::flush;
    // Whoever read the lines has gone: nothing is left to follow for.
    if (!context_.out) platform_.mainLoop.quit();
  }

  Format format_;
  Prefs& prefs_;
  CliContext& context_;
  Platform& platform_;
  bool onBus_ = false;
  std::optional<std::string> last_;
};

}  // namespace

std::optional<Options> parse(const std::vector<std::string>& arguments, std::ostream& err) {
  Options options;
  bool formatGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    std::optional<Format> format;
    if (word == "--follow") {
      options.follow = true;
    } else if (word == "--json") {
      format = Format::json;
    } else if (word == "--format") {
      std::string value = i + 1 < arguments.size() ? arguments[++i] : "";
      if (value == "json") {
        format = Format::json;
      } else if (value == "waybar") {
        format = Format::waybar;
      } else {
        err << "halomark: --format takes json or waybar\n" << kUsage;
        return std::nullopt;
      }
    }
    if (!format) continue;
    if (formatGiven && *format != options.format) {
      err << "halomark: choose one format\n" << kUsage;
      return std::nullopt;
    }
    formatGiven = true;
    options.format = *format;
  }
  return options;
}

std::string line(Format format, Prefs& prefs, Platform& platform, bool appRunning,
                 const std::optional<PlistDictionary>& published) {
  StatusReport report = StatusReports::gather(prefs, platform, appRunning, published);
  switch (format) {
    case Format::json: return StatusFormats::jsonLine(StatusFormats::document(report));
    case Format::waybar: return StatusFormats::jsonLine(StatusFormats::panel(report));
    case Format::text: break;
  }
  return report.line();
}

int follow(Format format, Prefs& prefs, CliContext& context) {
  return Follower(format, prefs, context).run();
}

}  // namespace StatusFollow
