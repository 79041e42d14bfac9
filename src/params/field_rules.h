#pragma once
// What a typed value must be before it is stored in the image. The editor
// checks its fields with these and the command line's encode checks its
// input with the same functions, so neither takes what the other refuses.

#include <optional>
#include <string>
#include <string_view>

namespace corvanta {

// The text the image stores as "no code" and decode shows for it.
inline constexpr std::string_view kNoCodeText = "******";

enum class CodeKind { User, Installer };

// A code the module's keypad can take: exactly 4 or 6 digits '0'..'9'. A
// user may have no code ("******"); the installer must have one, or nobody
// could open the module's settings again.
bool isAcceptableCode(std::string_view text, CodeKind kind);

// The test report time as typed, "hh:mm": hours 0..23, minutes 0..59, both
// minute digits given. The time mask lets one hour place stay blank ('_' or
// ' '); a one-digit hour is that hour ("7_:05" and "_7:05" are 07:05).
// Returns the time written out as "hh:mm", or nullopt when it is no time.
std::optional<std::string> normalTestTime(std::string_view text);

// The first character of a UTF-8 text that a padded text field could not
// give back as typed: one outside Windows-1250, and NUL and U+02D9 ("˙",
// byte 0xFF), which decode skips as padding. nullopt when every character
// stores as it is.
std::optional<std::string> unstorableCharacter(std::string_view utf8);

// Every printing character a text field stores as it is, one after another
// in UTF-8: what a field must have room for.
std::string printableStorableCharacters();

}  // namespace corvanta
