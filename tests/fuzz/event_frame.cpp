// The "AT_{" line of the last eight events and the "AT_/" message line: any
// line gives eight entries whose rows the grid can show, the entries are the
// bytes the line spells, and a message is the line after its prefix.

#include "params/hex_digits.h"
#include "params/win1250.h"
#include "service/event_frame.h"
#include "service/status_frame_layout.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

std::string eventLine(const std::array<EventLogEntry, 8>& entries) {
    std::string line = "AT_{";
    for (const EventLogEntry& e : entries)
        for (std::uint8_t b : e) {
            line.push_back(kHexDigits[b >> 4]);
            line.push_back(kHexDigits[b & 15]);
        }
    return line;
}

void checkRow(const EventLogEntry& entry, const EventListRow& row) {
    if (isEmptyEntry(entry)) {
        FUZZ_CHECK(row.time.empty() && row.kind.empty() && row.subject.empty() && row.status.empty());
        for (const std::string& m : row.routes) FUZZ_CHECK(m.empty());
        return;
    }
    FUZZ_CHECK(row.time.size() >= 13 && row.time[2] == '/' && row.time.find(" - ") != std::string::npos);
    FUZZ_CHECK(isUtf8(row.kind) && utf8Length(row.kind) == 17);
    const std::string number = std::to_string(subjectNumber(entry));
    FUZZ_CHECK(row.subject == "--" || row.subject == "Z=" + number || row.subject == "F=" + number);
    for (const std::string& m : row.routes) FUZZ_CHECK(m == "X" || m == "-");
    FUZZ_CHECK(row.status == "STOP" || row.status == "OK." || row.status == "Késl." || row.status == "Aktív");
}

}  // namespace

void eventFrame(Input in) {
    const std::string_view line = text(in);
    const auto entries = decodeEventFrame(line);
    for (std::size_t r = 0; r < entries.size(); ++r) {
        checkRow(entries[r], eventFrameRow(entries[r]));
        for (std::size_t j = 0; j < 8; ++j) {
            const std::size_t at = eventframe::kFirstEntry + 2 * (8 * r + j);
            const bool readable = at + 1 < line.size() && upperHexValue(line[at]) >= 0 &&
                                  upperHexValue(line[at + 1]) >= 0;
            const int spelled = readable ? upperHexValue(line[at]) * 16 + upperHexValue(line[at + 1]) : 0;
            FUZZ_CHECK(entries[r][j] == spelled);
        }
    }
    FUZZ_CHECK(decodeEventFrame(eventLine(entries)) == entries);

    const std::string_view message = statusMessageText(line);
    FUZZ_CHECK(line.size() <= 4 ? message.empty() : message == line.substr(4));
    FUZZ_CHECK(isUtf8(fromWin1250(message)));
}

}  // namespace corvanta::fuzz
