// The kernel's LED class as Halomark sees it under a sysfs root: which lights exist, what they can
// show, which one is the logo, and the conversion between nits and a light's levels.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/interfaces/brightness_client.h"

namespace LedClass {

// Every light under `<sysRoot>/class/leds` with a readable max_brightness above 0, by name.
std::vector<CandidateLight> list(const std::filesystem::path& sysRoot);
// The light of that name (taken from a listing), none when it is gone or unusable.
std::optional<CandidateLight> find(const std::filesystem::path& sysRoot, const std::string& name);
// Whether the function part of a light's name ("device:color:function") names a logo, in any case:
// exactly the lights that the udev rule opens to the video group.
bool namesLogo(const std::string& name);
// The light the user chose when it is listed (a chosen light that is gone is no light at all);
// with no choice, the first light whose function names a logo. Nothing else is ever taken.
std::optional<CandidateLight> choose(const std::vector<CandidateLight>& lights,
                                     const std::optional<std::string>& chosen);

std::filesystem::path directory(const std::filesystem::path& sysRoot, const std::string& name);
std::optional<long long> brightness(const std::filesystem::path& sysRoot, const std::string& name);
// The active trigger, the bracketed entry of the trigger file ("none" included).
std::optional<std::string> activeTrigger(const std::filesystem::path& sysRoot, const std::string& name);

// A level for `nits` over the full 0-1000 nits range: an on/off light is on above 0 nits; a
// dimmable one is proportional, at least 1 while lit.
long long levelFor(double nits, long long maxBrightness);
// The nits a level shows, the inverse of `levelFor` on dimmable lights.
double nitsFor(long long level, long long maxBrightness);

}  // namespace LedClass
