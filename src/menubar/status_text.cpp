#include "menubar/status_text.h"

#include <cmath>

namespace StatusText {

namespace {

constexpr const char* kDot = " \u00b7 ";

std::string offText(const std::string& reason) {
  if (reason == "Mac is locked") return "Off while Mac is locked";
  if (reason == "Low Power Mode") return "Off in Low Power Mode";
  if (reason == "on battery") return "Off on battery power";
  if (reason == "external display") return "Off with external display";
  if (reason == "Quiet Hours") return "Off during Quiet Hours";
  return std::string("Off") + kDot + reason;
}

}  // namespace

std::string compose(const Setting& stored, const std::optional<Power::RuleOverride>& rule,
                    const Setting& effective, std::optional<double> logoNits) {
  std::string suffix;
  if (logoNits) suffix = std::string(kDot) + std::to_string(std::llround(*logoNits)) + " nits";
  if (!stored.isOff() && rule) {
    if (rule->kind == Power::RuleOverride::Kind::off) return offText(rule->reason);
    // The dim level is cut, while the read-back above rounds: 12.9 dims read 12, a 12.9 reading 13.
    return "Dimmed" + std::string(kDot) + std::to_string(static_cast<long long>(std::trunc(rule->nits))) +
           " nits (" + rule->reason + ")";
  }
  switch (effective.kind) {
    case Setting::Kind::fixed: return "On" + std::string(kDot) + "fixed" + suffix;
    case Setting::Kind::off: return "Off";
    case Setting::Kind::automatic: break;
  }
  return "On" + std::string(kDot) + "following display" + suffix;
}

std::string compose(const Power::Outlook& outlook, std::optional<double> logoNits) {
  return compose(outlook.stored, outlook.rule, outlook.effective, logoNits);
}

}  // namespace StatusText
