// Reading XML property lists (as in a bundle's Info.plist) into property-list values.
#pragma once

#include <optional>
#include <string>

#include "formats/plist_value.h"

namespace PlistXml {

// The value under the top-level <plist> element: strings, integers, reals, booleans, arrays and
// dictionaries (dates and data read as their text). None when the document is not a property list.
std::optional<PlistValue> parse(const std::string& xml);

}  // namespace PlistXml
