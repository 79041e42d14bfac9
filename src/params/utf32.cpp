#include "params/utf32.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

namespace corvanta {
namespace {

constexpr const char* kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
constexpr char32_t kReplacement = U'\uFFFD';

// One iconv run over a whole text. `skipBad` is called with the input left
// when iconv stops at a sequence it cannot take; it appends a stand-in to
// the output and says how many input bytes to pass over.
template <typename Out, typename SkipBad>
Out convert(const char* to, const char* from, const char* data, std::size_t size, SkipBad skipBad) {
    Out out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    char buffer[512];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
        out.append(reinterpret_cast<const typename Out::value_type*>(buffer),
                   std::size_t(outPtr - buffer) / sizeof(typename Out::value_type));
        if (error == EILSEQ || error == EINVAL) {
            const std::size_t skip = skipBad(out, inLeft);
            in += skip;
            inLeft -= skip;
        } else if (error != 0 && error != E2BIG) {
            break;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::u32string toUtf32(std::string_view utf8) {
    return convert<std::u32string>(kUtf32, "UTF-8", utf8.data(), utf8.size(), [](std::u32string& out, std::size_t) {
        out.push_back(kReplacement);
        return std::size_t{1};
    });
}

std::string toUtf8(std::u32string_view text) {
    return convert<std::string>("UTF-8", kUtf32, reinterpret_cast<const char*>(text.data()),
                                text.size() * sizeof(char32_t), [](std::string& out, std::size_t left) {
                                    out.append("\xEF\xBF\xBD");
                                    return left < sizeof(char32_t) ? left : sizeof(char32_t);
                                });
}

}  // namespace corvanta
