#include "service/radio_frame.h"

#include "params/hex_digits.h"

namespace corvanta {

std::optional<RadioFrame> decodeRadioFrame(std::string_view line) {
    using namespace radio_layout;
    if (line.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    if (line.size() <= kEndOffset || line[kEndOffset] != kEndMark) return std::nullopt;

    std::array<std::uint8_t, kFrameBytes> bytes{};
    for (std::size_t i = 0; i < kFrameBytes; ++i) {
        const int high = upperHexValue(line[kHexOffset + 2 * i]);
        const int low = upperHexValue(line[kHexOffset + 2 * i + 1]);
        bytes[i] = high < 0 || low < 0 ? 0 : std::uint8_t(high << 4 | low);
    }

    RadioFrame frame;
    for (std::size_t s = 0; s < kSlotCount; ++s) frame.slotBytes[s] = bytes[s] & ~kSlotLearning;
    // Only the marker says which slot learns; the slots' own bit is stale.
    const std::uint8_t marker = bytes[kLearningByte];
    const std::size_t learning = marker & kLearningSlotMask;
    if ((marker & kLearningFlag) && learning < kSlotCount) frame.slotBytes[learning] |= kSlotLearning;
    frame.strength = bytes[kStrengthByte];
    return frame;
}

SlotDisplay slotDisplay(std::uint8_t b) {
    using namespace radio_layout;
    SlotDisplay d{"-", SlotColour::ButtonFace};
    if (b & kSlotPresent) d = {"OK.", SlotColour::Teal};
    if (b & kSlotLearning) return {"Tanulás", SlotColour::Blue};
    if (b & kSlotLowBattery) return {"<7V", SlotColour::Yellow};
    if (b & kSlotAlert) d.colour = SlotColour::Red;
    const int number = (b >> kSlotNumberShift) & kSlotNumberMask;
    if (number != 0) d.text = std::string(1, kHexDigits[number]);
    return d;
}

std::string radioSlotName(int slot) {
    using namespace radio_layout;
    const int inputs = int(kSensorBSlot - kSensorASlot);
    if (slot < int(kSensorASlot) || slot >= int(kSlotCount)) return {};
    if (slot < int(kRemoteSlot)) {
        const char* sensor = slot < int(kSensorBSlot) ? "'A'" : "'B'";
        return "IN" + std::to_string(slot % inputs + 1) + " " + sensor + " szenzor";
    }
    return std::to_string(slot - int(kRemoteSlot) + 1) + ". felhasználó távvezérlője";
}

}  // namespace corvanta
