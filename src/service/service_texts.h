#pragma once
// Texts of the event list and the name load, as the installer has always
// seen them (UTF-8 here).

#include "link/link_texts.h"

namespace corvanta::texts {

// The same words the version query shows when its block does not arrive.
inline constexpr const char* kReadFailed = kVersionFailed;

inline constexpr const char* kNamesLoading = "Zóna és Felhasználói nevek letöltése...";
inline constexpr const char* kNamesLoadingBlock = "Zóna és Felhasználói nevek letöltése ";
inline constexpr const char* kNamesLoaded = "Zóna és Felhasználói nevek letöltve.";

inline constexpr const char* kEventsLoading = "Eseménylista letöltése...";
inline constexpr const char* kEventsLoadingBlock = "Eseménylista letöltése ";
inline constexpr const char* kEventsLoaded = "Eseménylista letöltve.";

}  // namespace corvanta::texts
