#include "params/win1250.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <map>
#include <mutex>

namespace corvanta {
namespace {

// An iconv handle, reset before every conversion. Handles are not
// thread-safe: one that is shared is used under its mutex.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts exactly one input unit (a byte, or one UTF-8 sequence).
    // Returns false when iconv refuses it.
    bool convertUnit(std::string_view unit, std::string& out) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char buffer[8];
        char* in = const_cast<char*>(unit.data());
        std::size_t inLeft = unit.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(handle_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
        if (iconv(handle_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        return inLeft == 0;
    }

    std::mutex mutex;

private:
    iconv_t handle_;
};

Converter& encoder() {
    static Converter c("WINDOWS-1250", "UTF-8");
    return c;
}

// Windows-1250 leaves these five byte values without a character. Like
// Windows itself they travel as the C1 control of the same number, so a name
// holding one comes back out of the editor with the byte it went in with.
bool undefinedInCodePage(unsigned code) {
    return code == 0x81 || code == 0x83 || code == 0x88 || code == 0x90 || code == 0x98;
}

// Length of the UTF-8 sequence that starts with lead byte b, or 0 when b
// cannot start one.
std::size_t sequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if ((b & 0xE0) == 0xC0) return 2;
    if ((b & 0xF0) == 0xE0) return 3;
    if ((b & 0xF8) == 0xF0) return 4;
    return 0;
}

// The upper half of the code page as iconv gives it, asked once for all 128
// bytes: a conversion per character took three iconv calls under a lock, more
// than the rest of decoding a whole image.
struct UpperHalf {
    std::array<std::string, 128> text;  // by byte - 0x80; empty when iconv refuses the byte
    std::map<std::string, char, std::less<>> byte;

    UpperHalf() {
        Converter c("UTF-8", "WINDOWS-1250");
        for (unsigned code = 0x80; code <= 0xFF; ++code) {
            const char b = static_cast<char>(code);
            std::string& t = text[code - 0x80];
            if (undefinedInCodePage(code))
                t = {'\xC2', b};
            else if (!c.ok() || !c.convertUnit(std::string_view(&b, 1), t))
                t.clear();
            if (!t.empty()) byte.emplace(t, b);
        }
    }
};

const UpperHalf& upperHalf() {
    static const UpperHalf half;
    return half;
}

}  // namespace

std::string fromWin1250(std::string_view bytes) {
    const UpperHalf& half = upperHalf();
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            out.push_back(byte);
        } else {
            const std::string& text = half.text[code - 0x80];
            out.append(text.empty() ? std::string_view("\xEF\xBF\xBD") : std::string_view(text));
        }
    }
    return out;
}

std::string toWin1250(std::string_view utf8) {
    const UpperHalf& half = upperHalf();
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = sequenceLength(lead);
        if (len == 0 || i + len > utf8.size()) {
            out.push_back('?');
            ++i;
            continue;
        }
        const std::string_view unit = utf8.substr(i, len);
        if (len == 1) {
            out.push_back(utf8[i]);
        } else if (const auto found = half.byte.find(unit); found != half.byte.end()) {
            out.push_back(found->second);
        } else {
            // Whatever the code page lacks, unless iconv knows another way
            // to write it in one byte.
            Converter& c = encoder();
            std::lock_guard lock(c.mutex);
            std::string one;
            out.push_back(c.ok() && c.convertUnit(unit, one) && one.size() == 1 ? one[0] : '?');
        }
        i += len;
    }
    return out;
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (char ch : utf8) {
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
    }
    return n;
}

}  // namespace corvanta
