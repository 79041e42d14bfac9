#include "sim/radio_slots.h"

namespace corvanta::sim {

using namespace layout;

RadioSlots::RadioSlots(int64_t learnDelayMs) : learnDelayMs_(learnDelayMs) {
    // The radio PIR on zone 12 and the remote of user 1 are already taught;
    // the PIR's battery is getting low.
    slots_[11] = kSlotPresent | kSlotLowBattery | 1 << kSlotNumberShift;
    slots_[24] = kSlotPresent | 2 << kSlotNumberShift;
    learnt_ = 2;
    strength_ = 38;
}

bool RadioSlots::startLearning(int slot, int64_t nowMs) {
    if (slot < 0 || slot >= int(kRadioSlots)) return false;
    learning_ = slot;
    learnDueMs_ = nowMs + learnDelayMs_;
    return true;
}

void RadioSlots::clearAll() {
    slots_.fill(0);
    learning_.reset();
    learnt_ = 0;
}

std::optional<int> RadioSlots::service(int64_t nowMs, int signalStrength) {
    if (!learning_ || nowMs < learnDueMs_) return std::nullopt;
    const int s = *learning_;
    learning_.reset();
    learnt_ = learnt_ % 15 + 1;
    slots_[std::size_t(s)] = uint8_t(kSlotPresent | learnt_ << kSlotNumberShift);
    strength_ = signalStrength & 63;
    return s;
}

std::array<uint8_t, kRadioBytes> RadioSlots::frameBytes() const {
    std::array<uint8_t, kRadioBytes> out{};
    for (std::size_t i = 0; i < kRadioSlots; ++i) out[i] = slots_[i];
    out[kRadioLearning] = learning_ ? uint8_t(kRadioLearningFlag | *learning_) : 0;
    out[kRadioStrength] = uint8_t(strength_);
    return out;
}

}  // namespace corvanta::sim
