// Property-list values (preferences, brightness-service properties, notification payloads).
// Integers and reals stay distinct, as the reading rules need.
#pragma once

#include <nlohmann/json.hpp>

using PlistValue = nlohmann::json;
using PlistDictionary = nlohmann::json::object_t;
