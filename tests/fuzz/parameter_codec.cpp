// Parameter files and the codec: a file loads only when it holds a whole
// image, and then byte for byte; decoded values encode back, onto the same
// image or any other, so that decoding again changes no value.

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

#include "params/parameter_codec.h"
#include "tests/fuzz/fuzz_targets.h"
#include "transfer/parameter_file.h"

namespace corvanta::fuzz {

namespace {

// One scratch file in memory, rewritten for every input: a file on disk
// would cost more than everything else the target does.
struct ScratchFile {
    int fd = memfd_create("corvanta-fuzz", 0);
    QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
};

void checkFileLoad(Input in) {
    static const ScratchFile scratch;
    FUZZ_CHECK(scratch.fd >= 0);
    FUZZ_CHECK(ftruncate(scratch.fd, 0) == 0);
    FUZZ_CHECK(pwrite(scratch.fd, in.data(), in.size(), 0) == ssize_t(in.size()));
    ParameterImage image;
    image.fill(0xA5);
    const ParameterImage before = image;
    const auto error = loadParameterFile(scratch.path, image);
    if (in.size() < kImageSize) {
        FUZZ_CHECK(error.has_value() && image == before);
    } else {
        FUZZ_CHECK(!error.has_value());
        FUZZ_CHECK(std::equal(image.begin(), image.end(), in.begin()));
    }
}

}  // namespace

void parameterCodec(Input in) {
    checkFileLoad(in);

    ParameterImage image{};
    std::copy_n(in.begin(), std::min(in.size(), kImageSize), image.begin());
    const ParameterValues values = decode(image);

    ParameterImage encoded = image;
    encode(values, encoded);
    FUZZ_CHECK(decode(encoded) == values);
    ParameterImage blank;
    blank.fill(0xFF);
    encode(values, blank);
    FUZZ_CHECK(decode(blank) == values);
}

}  // namespace corvanta::fuzz
