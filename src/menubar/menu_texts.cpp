#include "menubar/menu_texts.h"

namespace MenuTexts {

std::string presetToolTip(const Preset& preset) {
  return "Set logo to " + std::to_string(static_cast<long long>(preset.nits)) + " nits";
}

std::string batteryChoiceTitle(int percent) {
  if (percent == 0) return "Never";
  return "At " + std::to_string(percent) + "% or Below";
}

}  // namespace MenuTexts
