// The "AT_[" status line: taken only in one of its four lengths with every
// separator in place, and then every reading within what the window can show.

#include <algorithm>

#include "service/status_frame.h"
#include "service/status_frame_layout.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

void checkShown(const ShownValue& v) {
    FUZZ_CHECK(!v.text.empty());
    FUZZ_CHECK(isUtf8(v.text));
}

}  // namespace

void statusFrame(Input in) {
    const std::string_view line = text(in);
    const auto view = decodeStatusFrame(line);
    if (!view) return;

    using namespace statusframe;
    FUZZ_CHECK(view->kind >= 1 && view->kind <= 4);
    FUZZ_CHECK(line.size() == kKindLength[std::size_t(view->kind - 1)]);
    FUZZ_CHECK(line.starts_with("AT_[") && line.back() == ']');
    for (std::size_t at : kCommas) FUZZ_CHECK(line[at] == ',');

    for (const ZoneView& z : view->zones) {
        checkShown(z.state);
        checkShown(z.loop);
    }
    for (const auto* group : {&view->inputsAB, &view->partitions, &view->outputs})
        std::for_each(group->begin(), group->end(), checkShown);
    std::for_each(view->relays.begin(), view->relays.end(), checkShown);
    checkShown(view->keypadSupply);
    checkShown(view->fixed12V);
    checkShown(view->mains);

    // Below 2.0 V reads as nothing; twelve bits reach at most 67.1 V.
    const auto voltage = [](int t) { return t == 0 || (t >= 20 && t <= 671); };
    FUZZ_CHECK(voltage(view->terminalTenths));
    FUZZ_CHECK(view->batteryTenths.has_value() == (view->kind >= 3));
    if (view->batteryTenths) FUZZ_CHECK(voltage(*view->batteryTenths));
    FUZZ_CHECK(view->kind == 4 || !view->temperature);
    if (view->temperature) FUZZ_CHECK(*view->temperature >= -127 && *view->temperature <= 127);
}

}  // namespace corvanta::fuzz
