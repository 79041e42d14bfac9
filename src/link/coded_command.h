#pragma once
// Commands that carry the encoded installer code.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvanta {

using CodedCommand = std::uint8_t;

namespace coded {
inline constexpr CodedCommand Login = 0;         // RPWD
inline constexpr CodedCommand StatusPoll = 1;    // RPWS
inline constexpr CodedCommand EventPoll = 2;     // RPWE
inline constexpr CodedCommand AlarmStop = 3;     // RSTP
inline constexpr CodedCommand DisarmP1 = 4;      // PT1D
inline constexpr CodedCommand DisarmP2 = 5;      // PT2D
inline constexpr CodedCommand ArmP1 = 6;         // PT1A
inline constexpr CodedCommand ArmP2 = 7;         // PT2A
inline constexpr CodedCommand RadioPoll = 8;     // RPWF
inline constexpr CodedCommand RadioDeleteAll = 9;  // DLRF
inline constexpr CodedCommand TeachChannel0 = 128;  // TRF + channel, 128..163
inline constexpr int kTeachChannels = 36;
}  // namespace coded

// The line (without its CR) for a coded command, given the text of the
// installer code field; nothing for values that name no command.
std::optional<std::string> codedCommandLine(CodedCommand command, std::string_view codeFieldText);

}  // namespace corvanta
