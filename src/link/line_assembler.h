#pragma once
// Turns received bytes into lines: CR ends a line, LF is dropped wherever it
// occurs, every other byte belongs to the line.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace corvanta {

class LineAssembler {
public:
    // Well above the longest line the module sends (a 544-character block
    // reply), so a stream with no CR cannot grow the buffer without end.
    static constexpr std::size_t kMaxLineLength = 2048;

    // A complete, non-empty line (without its CR).
    std::function<void(const std::string& line)> onLine;
    // A line that outgrew kMaxLineLength was thrown away up to its CR.
    std::function<void(std::size_t length)> onDiscarded;

    void feedReceivedChar(std::uint8_t c);

    // The partial line; it survives a change of link on purpose.
    const std::string& rxLine() const { return rxLine_; }

private:
    std::string rxLine_;
    std::size_t discarding_ = 0;  // length of an over-long line being skipped
};

}  // namespace corvanta
