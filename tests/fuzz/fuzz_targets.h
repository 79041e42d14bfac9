#pragma once
// Every fuzz target: one per decoder of bytes that come from outside (the
// module, the network, a file, a user's JSON). Each takes any bytes and checks
// the rules its decoder must keep. The corpus folder of a target carries its
// name.

#include "tests/fuzz/fuzz_check.h"

namespace corvanta::fuzz {

void replyLines(Input in);
void blockReply(Input in);
void tcpFrames(Input in);
void statusFrame(Input in);
void eventFrame(Input in);
void radioFrame(Input in);
void clockBlock(Input in);
void eventMemory(Input in);
void settingsFile(Input in);
void firmwareFile(Input in);
void parameterCodec(Input in);
void paramsJson(Input in);

struct Target {
    const char* name;
    void (*run)(Input);
};

inline constexpr Target kTargets[] = {
    {"reply_lines", replyLines},     {"block_reply", blockReply},
    {"tcp_frames", tcpFrames},       {"status_frame", statusFrame},
    {"event_frame", eventFrame},     {"radio_frame", radioFrame},
    {"clock_block", clockBlock},     {"event_memory", eventMemory},
    {"settings_file", settingsFile}, {"firmware_file", firmwareFile},
    {"parameter_codec", parameterCodec}, {"params_json", paramsJson},
};

}  // namespace corvanta::fuzz
