// The application identifier and the earlier product's identifiers. They name the preference
// domains, the bus name and the notifications.
#pragma once

inline constexpr const char* kAppIdentifier = "app.halomark.Halomark";
inline constexpr const char* kLegacyIdentifier1 = "app.orrin.Orrin";
inline constexpr const char* kLegacyIdentifier2 = "app.halomark.Orrin";
