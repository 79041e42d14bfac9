// The firmware check: the module accepts an upload whose check frame was
// made from the frames it received, and nothing else.

#include <gtest/gtest.h>

#include <cstring>

#include "sim_harness.h"
#include "link/block_frame.h"

namespace corvanta::sim::test {
namespace {

struct Upload {
    std::vector<BlockFrame> frames;
    BlockFrame check{};
};

// Frames and check frame built the way the program's preparation does,
// with the program's checksum.
Upload makeUpload(std::size_t frameCount) {
    Upload u;
    uint32_t group = 0;
    for (std::size_t j = 0; j < frameCount; ++j) {
        BlockFrame f{};
        for (std::size_t i = 0; i < 264; ++i) f[i] = uint8_t(i * 13 + j * 31);
        sealFrame(f, uint16_t(0x0021 + j));
        group += blockChecksum(f);
        if (j % 4 == 3 || j + 1 == frameCount) {
            u.check[2 * (j / 4)] = uint8_t(group >> 8);
            u.check[2 * (j / 4) + 1] = uint8_t(group);
            group = 0;
        }
        u.frames.push_back(f);
    }
    u.check[256] = uint8_t(frameCount >> 8);
    u.check[257] = uint8_t(frameCount);
    std::memcpy(&u.check[258], "FIRMW.", 6);
    sealFrame(u.check, 0x0221);
    return u;
}

std::vector<std::string> write(ModuleHarness& h, const BlockFrame& f) {
    h.ask("WRFL");
    return h.ask(frameDigits(f));
}

TEST(FirmwareCheck, AcceptsTheUploadItsCheckFrameDescribes) {
    for (std::size_t count : {3u, 9u, 512u}) {
        ModuleHarness h;
        h.login();
        const Upload u = makeUpload(count);
        for (const auto& f : u.frames) ASSERT_EQ(write(h, f), std::vector<std::string>{"WROK"});
        bool restarted = false;
        QObject::connect(&h.module(), &SimModule::restarted, [&] { restarted = true; });
        EXPECT_EQ(write(h, u.check), std::vector<std::string>{"FIRMWAREOK"}) << count;
        EXPECT_TRUE(restarted);
        EXPECT_FALSE(h.module().loggedIn()) << "a restarted module needs a new login";
    }
}

TEST(FirmwareCheck, RefusesChangedMissingOrExtraFrames) {
    const Upload u = makeUpload(9);
    auto run = [&](auto&& tamper) {
        ModuleHarness h;
        h.login();
        std::vector<BlockFrame> frames = u.frames;
        BlockFrame check = u.check;
        tamper(frames, check);
        for (const auto& f : frames) write(h, f);
        return write(h, check);
    };
    const std::vector<std::string> refused{"FIRMWAREERR"};
    EXPECT_EQ(run([](auto& frames, auto&) {
                  frames[5][100] ^= 1;  // still a valid frame, but not the one described
                  sealFrame(frames[5], 0x0026);
              }),
              refused);
    EXPECT_EQ(run([](auto& frames, auto&) { frames.erase(frames.begin() + 8); }), refused);
    EXPECT_EQ(run([](auto& frames, auto&) { frames.push_back(makeUpload(10).frames[9]); }), refused);
    EXPECT_EQ(run([](auto&, auto& check) {
                  check[257] = 8;
                  sealFrame(check, 0x0221);
              }),
              refused);
    EXPECT_EQ(run([](auto&, auto&) {}), std::vector<std::string>{"FIRMWAREOK"});
}

TEST(FirmwareCheck, ANewUploadStartsFromItsFirstFrame) {
    ModuleHarness h;
    h.login();
    for (const auto& f : makeUpload(9).frames) write(h, f);  // an aborted upload
    const Upload u = makeUpload(3);
    for (const auto& f : u.frames) write(h, f);
    EXPECT_EQ(write(h, u.check), std::vector<std::string>{"FIRMWAREOK"});
}

}  // namespace
}  // namespace corvanta::sim::test
