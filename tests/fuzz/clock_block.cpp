// The clock block: any block the module sends gives a message that fits, and
// a time written to the module reads back as the same time.

#include "params/win1250.h"
#include "service/clock_block.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

void clockBlock(Input in) {
    Reader r(in);
    BlockFrame block{};
    for (std::uint8_t& b : block) b = r.byte();
    const ClockTime read = clockFromBlock(block);
    const std::string message = clockMessage(read);
    FUZZ_CHECK(isUtf8(message) && message.starts_with("A modul órája: ") && message.find(" - ") != std::string::npos);

    // A time as the computer's clock may give it, a full year included.
    const ClockTime set{std::int16_t(r.word()), r.byte() % 13, r.byte() % 32, r.byte() % 24, r.byte() % 60};
    const BlockFrame written = clockWriteFrame(set);
    FUZZ_CHECK(frameAddress(written) == kClockBlock);
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k < 4; ++k) sum = sum << 8 | written[kFrameChecksumOffset + k];
    FUZZ_CHECK(sum == blockChecksum(written));
    ClockTime expected = set;
    expected.year = (set.year % 100 + 100) % 100;
    FUZZ_CHECK(clockFromBlock(written) == expected);
    for (std::size_t i = clock_layout::kSecond; i < kFrameAddressOffset; ++i) FUZZ_CHECK(written[i] == 0);
}

}  // namespace corvanta::fuzz
