#pragma once
// One 8-byte entry of the module's event log, as the event memory and the
// "AT_{" frames carry it, and the rules that turn it into the columns of the
// event lists. Texts are UTF-8.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvanta {

using EventLogEntry = std::array<std::uint8_t, 8>;

// Byte map of an entry.
namespace eventlog {
inline constexpr std::size_t kKind = 0;           // 1..47; 0 or above: empty slot
inline constexpr std::size_t kMonthSubject = 1;   // month high nibble, subject low nibble
inline constexpr std::size_t kDay = 2;
inline constexpr std::size_t kHour = 3;
inline constexpr std::size_t kMinute = 4;
inline constexpr std::size_t kRoutes = 6;         // bits 0..3 T1..T4, bits 4..7 S1..S4
inline constexpr std::size_t kReport = 7;         // see the masks below

inline constexpr std::uint8_t kCentralPending = 0x01;
inline constexpr std::uint8_t kReportEnded = 0x0E;
inline constexpr std::uint8_t kDelayed = 0x10;

inline constexpr int kFirstKind = 1;
inline constexpr int kLastKind = 47;
inline constexpr std::size_t kRouteCount = 9;  // T1..T4, S1..S4, central station
}  // namespace eventlog

// What the subject number of an event kind names.
enum class SubjectMarker { Zone, User, None };

SubjectMarker subjectMarker(int kind);
// "Z", "F" or ".".
const char* subjectMarkerText(SubjectMarker marker);

// Kind 0 and kinds above 47 mark slots the module has not filled.
bool isEmptyEntry(const EventLogEntry& entry);
int eventKind(const EventLogEntry& entry);
int subjectNumber(const EventLogEntry& entry);  // 0..15

// "MM/DD - hh:mm", each number with at least two digits.
std::string eventTimeText(const EventLogEntry& entry);
// The event name padded with blanks to 17 characters; blanks only for an
// empty slot.
std::string eventKindText(const EventLogEntry& entry);
// "X" or "-" for T1..T4, S1..S4 and the central station, in that order.
std::array<std::string, eventlog::kRouteCount> routeMarks(const EventLogEntry& entry);
// "STOP", "OK.", "Késl." or "Aktív".
std::string routeStatusText(const EventLogEntry& entry);

}  // namespace corvanta
