// Parameter files and the codec: a file loads only when it holds a whole
// image, and then byte for byte; decoded values encode back onto the same
// image without changing a bit, onto any other image so that decoding again
// changes no value, and a value changed in one field changes that field's
// bits and no others.

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

#include "params/field_catalogue.h"
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

// The bytes after the image choose a field and the bits it gets.
void checkOneFieldChanged(const ParameterImage& image, const ParameterValues& values, Reader extra) {
    const auto& all = fields::catalogue().fields;
    const fields::Field& f = all[extra.word() % all.size()];
    ParameterImage bits = image;
    for (std::size_t i = f.offset; i < f.offset + f.length; ++i) bits[i] = extra.byte();
    ParameterImage changed = image;
    f.copyBits(bits, changed);
    const ParameterValues wanted = decode(changed);
    ParameterImage out = image;
    encode(wanted, out);
    FUZZ_CHECK(decode(out) == wanted);
    // Nothing outside the field moved; the field moved only if its value did.
    ParameterImage outside = out;
    f.copyBits(image, outside);
    FUZZ_CHECK(outside == image);
    FUZZ_CHECK(f.sameBits(out, image) == (f.show(wanted) == f.show(values)));
}

}  // namespace

void parameterCodec(Input in) {
    checkFileLoad(in);

    ParameterImage image{};
    std::copy_n(in.begin(), std::min(in.size(), kImageSize), image.begin());
    const ParameterValues values = decode(image);

    ParameterImage encoded = image;
    encode(values, encoded);
    FUZZ_CHECK(encoded == image);
    ParameterImage blank;
    blank.fill(0xFF);
    encode(values, blank);
    FUZZ_CHECK(decode(blank) == values);
    blank.fill(0xFF);
    encodeEveryField(values, blank);
    FUZZ_CHECK(decode(blank) == values);

    if (in.size() > kImageSize) checkOneFieldChanged(image, values, Reader(in.subspan(kImageSize)));
}

}  // namespace corvanta::fuzz
