// Comparing application versions the way appcast feeds expect: numbers numerically, letters as
// text, a release newer than its own pre-releases ("1.0" > "1.0b1"), and "1.0" equal to "1.0.0".
#pragma once

#include <string>

namespace Versions {

// Whether `version` is something a feed could sensibly announce: 1 to 64 characters of letters,
// digits, '.', '_', '+', '-' and spaces, with at least one digit and no number over 18 digits.
bool isPlausible(const std::string& version);

// Negative when `a` is older than `b`, zero when they are the same version, positive when newer.
// Whatever follows the first '-' is build metadata and takes no part; an empty component counts as
// 0. The comparison is a total order over all strings.
int compare(const std::string& a, const std::string& b);

}  // namespace Versions
