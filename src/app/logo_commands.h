// The one way every door changes the logo: the tool, the hot key, both menus, the desktop's bus
// methods, named actions and runner, and the windows. A change is written as one change of the
// store and synchronised; only once it is stored is it delivered: the application applies it in its
// own process, the tool tells the running application (or starts it). It also answers what the
// logo does now, in the sentence the desktop's actions speak.
#pragma once

#include <functional>
#include <string>
#include <type_traits>

#include "platform/interfaces/platform.h"
#include "prefs/prefs.h"

class LogoCommands {
 public:
  // What follows a stored change that the logo shows.
  using Deliver = std::function<void()>;

  LogoCommands(Prefs& prefs, Platform& platform, Deliver deliver);

  // Each returns whether the change was stored. When it was not, nothing of it was, and nothing is
  // delivered.
  bool set(const Setting& setting);
  // Off becomes the last on setting; anything else becomes off.
  bool toggle();
  // Back to the last on setting.
  bool turnOn();
  // The automatic setting (also as the last on setting) with the full brightness range.
  bool reset();
  // A key of the table. Only a key whose changes the logo shows is delivered; the others are
  // stored for those who read them.
  template <typename T>
  bool set(TypedPrefKey<T> key, const std::type_identity_t<T>& value) {
    return commit(Prefs::Changes().set(key, value), prefKeyInfo(key.key).effect);
  }

  // A setting stored but not yet delivered, for a control still in motion; `deliver` follows once
  // it rests.
  bool store(const Setting& setting);
  void deliver();

  // Whether the logo shows light now: not off, and no automation rule holds it off (a dimming rule
  // still leaves it lit).
  bool isLogoLit();
  // "The logo is at a fixed 80 nits." and the like, with the rule that holds it off.
  std::string statusSentence();

  Prefs& prefs() { return prefs_; }

 private:
  bool commit(const Prefs::Changes& changes, PrefEffect effect);

  Prefs& prefs_;
  Platform& platform_;
  Deliver deliver_;
};
