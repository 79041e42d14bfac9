// libFuzzer's entry for one target, named at build time by CORVANTA_FUZZ_TARGET.

#include <cstring>

#include "tests/fuzz/fuzz_targets.h"

namespace {

void (*chosen())(corvanta::fuzz::Input) {
    for (const auto& t : corvanta::fuzz::kTargets)
        if (std::strcmp(t.name, CORVANTA_FUZZ_TARGET) == 0) return t.run;
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto run = chosen();
    run({data, size});
    return 0;
}
