#pragma once
// The 36 radio device slots: sensors A and B of every zone, then the users'
// remote controls. A slot put into learning mode learns a device after a
// few seconds.

#include <array>
#include <cstdint>
#include <optional>

#include "sim/layout.h"

namespace corvanta::sim {

class RadioSlots {
public:
    static constexpr int64_t kLearnDelayMs = 4000;

    // learnDelayMs: how long a slot in learning mode waits for its device.
    explicit RadioSlots(int64_t learnDelayMs = kLearnDelayMs);

    // Slot 0..35; anything else is refused.
    bool startLearning(int slot, int64_t nowMs);
    void clearAll();
    // Finishes a due learning; returns the slot that learnt a device.
    std::optional<int> service(int64_t nowMs, int signalStrength);

    std::array<uint8_t, layout::kRadioBytes> frameBytes() const;
    uint8_t slot(int s) const { return slots_[std::size_t(s)]; }

private:
    std::array<uint8_t, layout::kRadioSlots> slots_{};
    std::optional<int> learning_;
    int64_t learnDelayMs_;
    int64_t learnDueMs_ = 0;
    int strength_ = 0;
    int learnt_ = 0;
};

}  // namespace corvanta::sim
