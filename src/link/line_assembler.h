#pragma once
// Turns received bytes into lines: CR ends a line, LF is dropped wherever it
// occurs, every other byte belongs to the line.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace corvanta {

class LineAssembler {
public:
    // Well above the longest line the module sends (a 544-character block
    // reply), so a stream with no CR cannot grow the buffer without end.
    static constexpr std::size_t kMaxLineLength = 2048;

    // A complete, non-empty line (without its CR), for feedReceivedChar.
    std::function<void(const std::string& line)> onLine;
    // A line that outgrew kMaxLineLength was thrown away up to its CR.
    std::function<void(std::size_t length)> onDiscarded;

    // One byte; a line it completes goes to onLine.
    void feedReceivedChar(std::uint8_t c);

    // A chunk of bytes, up to the end of the first line it completes: the
    // runs between line ends are appended whole. Returns how many bytes it
    // took; when that completed a line, lineReady() holds until takeLine().
    std::size_t feed(std::string_view bytes);
    bool lineReady() const { return ready_; }
    // The completed line, handed over by value: whoever handles it may cause
    // more bytes to arrive (an in-process module answers at once) before it
    // is done with it.
    std::string takeLine();

    // The partial line; it survives a change of link on purpose.
    const std::string& rxLine() const { return rxLine_; }

private:
    void append(std::string_view run);
    // CR: true when it completed a non-empty line.
    bool endLine();

    std::string rxLine_;
    std::size_t discarding_ = 0;  // length of an over-long line being skipped
    bool ready_ = false;
};

}  // namespace corvanta
