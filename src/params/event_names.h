#pragma once
// The 59 event names of the module and the row captions built from them.
// Event rows use names 1..47, relay trigger rows names 1..59, and the event
// list shows them as event kinds.

#include <array>
#include <string>
#include <string_view>

namespace corvanta {

inline constexpr int kEventNameCount = 59;
inline constexpr int kEventCaptionWidth = 17;  // characters, not bytes

// Names in module order; eventName(1) is "IN1 Riasztás". Numbers outside
// 1..59 give an empty name.
std::string_view eventName(int number);

// The name padded with spaces to 17 characters.
std::string paddedEventName(int number);

// Caption of event row k (0..46): "   01. IN1 Riasztás     ".
std::string eventRowCaption(int row);

// Caption of relay trigger row n (0..59); row 0 is telephone control.
std::string relayRowCaption(int row);

}  // namespace corvanta
