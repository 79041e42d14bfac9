#include "service/event_frame.h"

#include "params/hex_digits.h"
#include "service/status_frame_layout.h"

namespace corvanta {

namespace {

std::uint8_t byteAt(std::string_view line, std::size_t at) {
    if (at + 1 >= line.size()) return 0;
    const int high = upperHexValue(line[at]), low = upperHexValue(line[at + 1]);
    return high < 0 || low < 0 ? 0 : std::uint8_t(high * 16 + low);
}

}  // namespace

std::array<EventLogEntry, 8> decodeEventFrame(std::string_view line) {
    using namespace eventframe;
    std::array<EventLogEntry, kEntries> entries{};
    for (std::size_t r = 0; r < kEntries; ++r)
        for (std::size_t j = 0; j < kEntryBytes; ++j)
            entries[r][j] = byteAt(line, kFirstEntry + 2 * (kEntryBytes * r + j));
    return entries;
}

EventListRow eventFrameRow(const EventLogEntry& entry) {
    EventListRow row;
    if (isEmptyEntry(entry)) return row;
    row.time = eventTimeText(entry);
    row.kind = eventKindText(entry);
    const SubjectMarker marker = subjectMarker(eventKind(entry));
    row.subject = marker == SubjectMarker::None
                      ? "--"
                      : std::string(subjectMarkerText(marker)) + "=" + std::to_string(subjectNumber(entry));
    row.routes = routeMarks(entry);
    row.status = routeStatusText(entry);
    return row;
}

std::string_view statusMessageText(std::string_view line) {
    return line.size() > 4 ? line.substr(4) : std::string_view();
}

}  // namespace corvanta
