#include "params/win1250.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace corvanta {
namespace {

// iconv handles are not thread-safe; each direction keeps one handle behind
// a mutex, opened on first use and reset before every conversion.
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

Converter& decoder() {
    static Converter c("UTF-8", "WINDOWS-1250");
    return c;
}

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

}  // namespace

std::string fromWin1250(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    Converter& c = decoder();
    std::lock_guard lock(c.mutex);
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            out.push_back(byte);
        } else if (undefinedInCodePage(code)) {
            out.push_back('\xC2');
            out.push_back(byte);
        } else if (!c.ok() || !c.convertUnit(std::string_view(&byte, 1), out)) {
            out.append("\xEF\xBF\xBD");
        }
    }
    return out;
}

std::string toWin1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    Converter& c = encoder();
    std::lock_guard lock(c.mutex);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = sequenceLength(lead);
        if (len == 0 || i + len > utf8.size()) {
            out.push_back('?');
            ++i;
            continue;
        }
        if (len == 1) {
            out.push_back(utf8[i]);
        } else if (len == 2 && lead == 0xC2 &&
                   undefinedInCodePage(static_cast<unsigned char>(utf8[i + 1]))) {
            out.push_back(utf8[i + 1]);
        } else {
            std::string one;
            if (c.ok() && c.convertUnit(utf8.substr(i, len), one) && one.size() == 1) {
                out += one;
            } else {
                out.push_back('?');
            }
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
