// What the user chose for the logo: follow the display, a fixed brightness, or off.
#pragma once

#include <variant>

struct Setting {
  enum class Kind { automatic, fixed, off };
  Kind kind = Kind::automatic;
  double nits = 0;  // meaningful for `fixed` only

  static Setting automatic() { return {Kind::automatic, 0}; }
  static Setting fixed(double nits) { return {Kind::fixed, nits}; }
  static Setting off() { return {Kind::off, 0}; }

  bool isOff() const { return kind == Kind::off; }
  bool isFixed() const { return kind == Kind::fixed; }
  bool isAutomatic() const { return kind == Kind::automatic; }
  bool operator==(const Setting& other) const {
    return kind == other.kind && (kind != Kind::fixed || nits == other.nits);
  }
};

// Bounds of a fixed brightness, and the value that stands in for a missing one.
inline constexpr double kMinNits = 12.5;
inline constexpr double kMaxNits = 1000;
inline constexpr double kDefaultFixedNits = 150;
