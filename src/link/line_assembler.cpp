#include "link/line_assembler.h"

namespace corvanta {

namespace {
constexpr char kCR = 0x0D;
constexpr char kLF = 0x0A;
constexpr char kLineEnds[] = {kCR, kLF};
}  // namespace

void LineAssembler::feedReceivedChar(std::uint8_t c) {
    const char byte = static_cast<char>(c);
    feed(std::string_view(&byte, 1));
    if (ready_) {
        std::string line = takeLine();
        if (onLine) onLine(line);
    }
}

std::size_t LineAssembler::feed(std::string_view bytes) {
    // A line nobody took is dropped rather than run into the next one.
    if (ready_) takeLine();
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find_first_of(std::string_view(kLineEnds, sizeof kLineEnds), at);
        if (end == std::string_view::npos) {
            append(bytes.substr(at));
            return bytes.size();
        }
        append(bytes.substr(at, end - at));
        at = end + 1;
        if (bytes[end] == kCR && endLine()) return at;
    }
    return at;
}

std::string LineAssembler::takeLine() {
    ready_ = false;
    std::string line;
    line.swap(rxLine_);
    return line;
}

void LineAssembler::append(std::string_view run) {
    if (run.empty()) return;
    if (discarding_ > 0) {
        discarding_ += run.size();
    } else if (rxLine_.size() + run.size() > kMaxLineLength) {
        discarding_ = rxLine_.size() + run.size();
        rxLine_.clear();
        rxLine_.shrink_to_fit();
    } else {
        rxLine_.append(run);
    }
}

bool LineAssembler::endLine() {
    if (discarding_ > 0) {
        const std::size_t length = discarding_;
        discarding_ = 0;
        if (onDiscarded) onDiscarded(length);
        return false;
    }
    if (rxLine_.empty()) return false;
    ready_ = true;
    return true;
}

}  // namespace corvanta
