#include "service/event_log_entry.h"

#include <cstdio>

#include "params/event_names.h"

namespace corvanta {

using namespace eventlog;

SubjectMarker subjectMarker(int kind) {
    if ((kind >= 1 && kind <= 26) || (kind >= 37 && kind <= 40)) return SubjectMarker::Zone;
    if ((kind >= 27 && kind <= 30) || kind == 43 || kind == 46) return SubjectMarker::User;
    return SubjectMarker::None;
}

const char* subjectMarkerText(SubjectMarker marker) {
    switch (marker) {
    case SubjectMarker::Zone: return "Z";
    case SubjectMarker::User: return "F";
    case SubjectMarker::None: break;
    }
    return ".";
}

int eventKind(const EventLogEntry& entry) { return entry[kKind]; }

bool isEmptyEntry(const EventLogEntry& entry) {
    const int kind = eventKind(entry);
    return kind < kFirstKind || kind > kLastKind;
}

int subjectNumber(const EventLogEntry& entry) { return entry[kMonthSubject] & 0x0F; }

std::string eventTimeText(const EventLogEntry& entry) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2d/%.2d - %.2d:%.2d", entry[kMonthSubject] >> 4,
                  int(entry[kDay]), int(entry[kHour]), int(entry[kMinute]));
    return text;
}

std::string eventKindText(const EventLogEntry& entry) {
    // Names 48..59 are relay triggers, never logged events.
    if (isEmptyEntry(entry)) return std::string(kEventCaptionWidth, ' ');
    return paddedEventName(eventKind(entry));
}

std::array<std::string, kRouteCount> routeMarks(const EventLogEntry& entry) {
    std::array<std::string, kRouteCount> marks;
    for (std::size_t bit = 0; bit < 8; ++bit) marks[bit] = (entry[kRoutes] >> bit) & 1 ? "X" : "-";
    marks[8] = entry[kReport] & kCentralPending ? "X" : "-";
    return marks;
}

std::string routeStatusText(const EventLogEntry& entry) {
    const bool pending = entry[kRoutes] != 0 || (entry[kReport] & kCentralPending);
    if (entry[kReport] & kReportEnded) return pending ? "STOP" : "OK.";
    if (entry[kReport] & kDelayed) return "Késl.";
    return pending ? "Aktív" : "OK.";
}

}  // namespace corvanta
