// The "AT_<" radio line: taken only with its prefix and end mark, at most the
// one slot the marker names learns, every slot has a text, and a frame spelled
// out again reads back the same.

#include "params/hex_digits.h"
#include "params/win1250.h"
#include "service/radio_frame.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

void putHex(std::string& line, std::uint8_t b) {
    line.push_back(kHexDigits[b >> 4]);
    line.push_back(kHexDigits[b & 15]);
}

}  // namespace

void radioFrame(Input in) {
    using namespace radio_layout;
    const std::string_view line = text(in);
    const auto frame = decodeRadioFrame(line);
    if (!frame) return;
    FUZZ_CHECK(line.starts_with(kPrefix) && line.size() > kEndOffset && line[kEndOffset] == kEndMark);

    int learning = -1, learners = 0;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (frame->slotBytes[s] & kSlotLearning) {
            learning = int(s);
            ++learners;
        }
        const SlotDisplay shown = slotDisplay(frame->slotBytes[s]);
        FUZZ_CHECK(!shown.text.empty() && isUtf8(shown.text));
    }
    FUZZ_CHECK(learners <= 1);

    std::string again(kPrefix);
    for (std::size_t s = 0; s < kSlotCount; ++s) putHex(again, frame->slotBytes[s] & ~kSlotLearning);
    putHex(again, learning < 0 ? 0 : std::uint8_t(kLearningFlag | learning));
    putHex(again, frame->strength);
    while (again.size() < kEndOffset) again.push_back('0');
    again.push_back(kEndMark);
    const auto reread = decodeRadioFrame(again);
    FUZZ_CHECK(reread && reread->slotBytes == frame->slotBytes && reread->strength == frame->strength);
}

}  // namespace corvanta::fuzz
