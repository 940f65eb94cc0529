#include "cli/status_formats.h"

#include <algorithm>
#include <cmath>

#include "prefs/setting.h"

namespace StatusFormats {

namespace {

using json = nlohmann::ordered_json;

json optionalText(const std::optional<std::string>& text) { return text ? json(*text) : json(nullptr); }

json settingObject(const Setting& setting) {
  switch (setting.kind) {
    case Setting::Kind::fixed: return {{"kind", "fixed"}, {"nits", setting.nits}};
    case Setting::Kind::off: return {{"kind", "off"}, {"nits", nullptr}};
    case Setting::Kind::automatic: break;
  }
  return {{"kind", "automatic"}, {"nits", nullptr}};
}

json untilObject(const std::optional<StatusReport::Until>& until) {
  if (!until) return nullptr;
  if (until->kind == StatusReport::Until::Kind::powerConnected) return {{"kind", "powerConnected"}};
  return {{"kind", "localTime"}, {"time", until->localTime}};
}

json ruleObject(const StatusReport& report) {
  if (!report.rule) return nullptr;
  bool dims = report.rule->kind == Power::RuleOverride::Kind::dim;
  return {{"source", report.ruleSource},
          {"action", dims ? "dim" : "off"},
          {"reason", report.rule->reason},
          {"nits", dims ? json(report.rule->nits) : json(nullptr)},
          {"until", untilObject(report.until)}};
}

json lightObject(const StatusReport& report) {
  if (!report.light) return nullptr;
  return {{"kind", report.light->emulated ? "emulated" : "led"},
          {"name", report.light->emulated ? json(nullptr) : json(report.light->name)},
          {"accessProblem", optionalText(report.accessProblem)}};
}

json signalObject(const std::optional<StatusReport::Signal>& signal) {
  if (!signal) return nullptr;
  return {{"active", signal->active},
          {"message", optionalText(signal->message)},
          {"style", optionalText(signal->style)}};
}

// A panel's short text: the brightness while the logo shows light and it can be read.
std::string panelText(const StatusReport& report, const std::string& alt) {
  if (alt == "signaling") return "Signaling";
  if (alt == "off" || alt == "held") return "Off";
  if (report.logoNits) return std::to_string(std::llround(*report.logoNits)) + " nits";
  return "On";
}

}  // namespace

json document(const StatusReport& report) {
  return {{"version", kJsonVersion},
          {"setting", settingObject(report.stored)},
          {"lastOn", settingObject(report.lastOn)},
          {"effective", settingObject(report.effective)},
          {"rule", ruleObject(report)},
          {"logo",
           {{"nits", report.logoNits ? json(*report.logoNits) : json(nullptr)},
            {"unavailable", optionalText(report.logoUnavailable)}}},
          {"light", lightObject(report)},
          {"app", {{"running", report.appRunning}}},
          {"signal", signalObject(report.signal)},
          {"problems", report.problems}};
}

json panel(const StatusReport& report) {
  std::string alt = report.alt();
  long long percentage = 0;
  if (report.logoNits)
    percentage = std::clamp<long long>(std::llround(*report.logoNits / kMaxNits * 100), 0, 100);
  return {{"text", panelText(report, alt)},
          {"alt", alt},
          {"tooltip", report.line()},
          {"class", alt},
          {"percentage", percentage}};
}

std::string jsonLine(const json& object) {
  // Text from a file or a program may hold bytes that are not UTF-8; they are replaced, not fatal.
  return object.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace StatusFormats
