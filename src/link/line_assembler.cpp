#include "link/line_assembler.h"

namespace corvanta {

namespace {
constexpr std::uint8_t kCR = 0x0D;
constexpr std::uint8_t kLF = 0x0A;
}  // namespace

void LineAssembler::feedReceivedChar(std::uint8_t c) {
    if (c == kLF) return;
    if (c == kCR) {
        if (discarding_ > 0) {
            const std::size_t length = discarding_;
            discarding_ = 0;
            if (onDiscarded) onDiscarded(length);
            return;
        }
        if (rxLine_.empty()) return;
        // Handed over by value: a receiver may cause more bytes to arrive
        // (an in-process module answers at once) before it returns.
        std::string line;
        line.swap(rxLine_);
        if (onLine) onLine(line);
        return;
    }
    if (discarding_ > 0) {
        ++discarding_;
    } else if (rxLine_.size() >= kMaxLineLength) {
        discarding_ = rxLine_.size() + 1;
        rxLine_.clear();
        rxLine_.shrink_to_fit();
    } else {
        rxLine_.push_back(static_cast<char>(c));
    }
}

}  // namespace corvanta
