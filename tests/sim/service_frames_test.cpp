// The unsolicited frames and the live state behind them: status, last
// events, messages and radio slots, and the factory memory they start from.

#include <gtest/gtest.h>

#include "params/parameter_codec.h"
#include "sim/status_frames.h"
#include "sim_harness.h"
#include "link/block_frame.h"

namespace corvanta::sim::test {
namespace {

std::string code(const char* word) { return std::string(word) + kGoodCode; }

// What the program makes of a voltage pair, in tenths of a volt.
int programTenths(const std::string& pair) {
    const int v = ((pair[0] - 48) & 63) * 64 + ((pair[1] - 48) & 63);
    const int t = (10 * v - 3600) / 61 + 59;
    return t < 20 ? 0 : t;
}

TEST(StatusFrame, LengthSeparatorsAndFieldsFollowTheKind) {
    StatusSnapshot s;
    s.zoneState.fill(2);
    s.zoneType[11] = 3;
    s.armed = {true, false};
    s.out1 = true;
    s.gsmLevel = 31;
    s.mains = false;
    s.temperature = -5;
    for (int kind = 1; kind <= 4; ++kind) {
        const std::string f = statusFrame(s, kind);
        ASSERT_EQ(f.size(), std::vector<std::size_t>({84, 86, 89, 92})[std::size_t(kind - 1)]);
        EXPECT_EQ(f.substr(0, 4), "AT_[");
        for (std::size_t at : {36, 51, 65, 68, 78, 81}) EXPECT_EQ(f[at], ',') << kind << " at " << at;
        EXPECT_EQ(f.back(), ']');
        EXPECT_EQ(f.substr(37, 12), "222222222222");
        EXPECT_EQ(f[63], '3');
        EXPECT_EQ(f.substr(69, 2), "10");
        EXPECT_EQ(f.substr(79, 2), "10");
        EXPECT_EQ(f[82], 'O');
    }
    const std::string k4 = statusFrame(s, 4);
    EXPECT_EQ(k4[84], '0') << "no mains";
    EXPECT_EQ(k4.substr(89, 2), "85") << "-5 degrees";
    EXPECT_EQ(statusFrame(s, 4, true).size(), 91u);
}

TEST(StatusFrame, PairsReadBackToTheIntendedValues) {
    for (int tenths = 100; tenths <= 167; ++tenths) EXPECT_EQ(programTenths(voltagePair(tenths)), tenths) << tenths;
    EXPECT_EQ(voltagePair(0), "00");
    EXPECT_EQ(temperaturePair(23), "17");
    EXPECT_EQ(temperaturePair(-5), "85");
    EXPECT_EQ(temperaturePair(std::nullopt), "80");
}

TEST(StatusPolls, AnswerWithStatusEventsAndOccasionalMessages) {
    ModuleSettings settings;
    settings.startTime = QDateTime(QDate(2024, 3, 15), QTime(8, 5));
    ModuleHarness h(settings);
    auto status = h.ask(code("RPWS"));
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status[0].size(), 92u);
    EXPECT_EQ(status[0].substr(0, 4), "AT_[");

    EXPECT_TRUE(h.ask(code("PT1A")).empty()) << "arming is not answered";
    const auto events = h.ask(code("RPWE"));
    ASSERT_GE(events.size(), 1u);
    EXPECT_EQ(events[0].size(), 132u);
    EXPECT_EQ(events[0].substr(4, 4), "1B3D") << "newest: kind 27, March, installer";
    ASSERT_EQ(events.size(), 2u) << "the arming's message rides along";
    EXPECT_EQ(events[1].substr(0, 4), "AT_/");
    EXPECT_EQ(h.ask(code("RPWS"))[0][79], '1');

    EXPECT_EQ(h.ask("RPWS" "111100"), std::vector<std::string>{"PWDERR"});
}

TEST(EventMemory, GrowsAsThingsHappenAndIsReadInFourBlocks) {
    ModuleSettings s;
    s.startTime = QDateTime(QDate(2024, 3, 15), QTime(8, 5));
    ModuleHarness h(s);
    h.login();
    const int before = h.module().events().newestIndex();
    h.ask(code("PT2A"));
    h.ask(code("PT2D"));
    ASSERT_EQ(h.module().events().newestIndex(), before + 2);

    std::array<uint8_t, 1024> memory{};
    for (int n = 0; n < 4; ++n) {
        BlockFrame f{};
        ASSERT_EQ(decodeBlockReply(h.ask(readRequestLine(uint16_t(0xF000 + n))).at(0), f), BlockReply::Received);
        ASSERT_EQ(f[265], n);
        std::copy(f.begin(), f.begin() + 256, memory.begin() + 256 * n);
    }
    const int newest = memory[768];
    EXPECT_EQ(newest, before + 2);
    const uint8_t* e = &memory[8 * std::size_t(newest)];
    EXPECT_EQ(e[0], 30);                // disarm partition 2
    EXPECT_EQ(e[1], 3 << 4 | 13);       // March, installer
    EXPECT_EQ(e[2], 15);
    EXPECT_EQ(e[3], 8);
    EXPECT_EQ(e[4], 5);
    EXPECT_NE(e[6], 0) << "reports pending";
    EXPECT_EQ(memory[8 * std::size_t(newest - 1)], 28);

    // Reports go out after a while; an alarm stop ends pending ones unsent.
    h.advance(SimModule::kReportMs);
    EXPECT_EQ(h.module().events().newest(1)[0][6], 0);
    EXPECT_EQ(h.module().events().newest(1)[0][7], 2);
    h.ask(code("PT2A"));
    EXPECT_EQ(h.ask(code("RSTP")), std::vector<std::string>{"PWDOK"});
    const auto stopped = h.module().events().newest(1)[0];
    EXPECT_NE(stopped[6], 0);
    EXPECT_NE(stopped[7] & 14, 0) << "shows as STOP";
    h.advance(SimModule::kReportMs);
    EXPECT_EQ(h.module().events().newest(1)[0], stopped);
}

TEST(EventMemory, RingWrapsAfterNinetySixEntries) {
    EventMemory m;
    for (int i = 0; i < 100; ++i) m.add(uint8_t(1 + i % 47), 1, Stamp{}, 0);
    EXPECT_EQ(m.newestIndex(), 3);
    EXPECT_EQ(m.count(), 96u);
    EXPECT_EQ(m.newest(2)[1][0], uint8_t(1 + 98 % 47));
}

TEST(RadioSlots, TeachLearnsADeviceAndDeleteClearsAll) {
    ModuleHarness h;
    EXPECT_TRUE(h.ask(std::string("TRF5") + kGoodCode).empty());
    auto frame = h.ask(code("RPWF")).at(0);
    ASSERT_EQ(frame.size(), 85u);
    EXPECT_EQ(frame.back(), '>');
    EXPECT_EQ(frame.substr(4 + 2 * 36, 2), "85") << "slot 5 learning";
    EXPECT_EQ(frame.substr(4 + 2 * 5, 2), "00");
    h.advance(RadioSlots::kLearnDelayMs);
    frame = h.ask(code("RPWF")).at(0);
    EXPECT_EQ(frame.substr(4 + 2 * 36, 2), "00");
    EXPECT_EQ(std::stoi(frame.substr(4 + 2 * 5, 2), nullptr, 16) & 1, 1) << "device present";

    // Slot 35 travels as "S"; slot 16 as "@".
    h.ask(std::string("TRFS") + kGoodCode);
    EXPECT_EQ(h.ask(code("RPWF")).at(0).substr(4 + 2 * 36, 2), "A3");
    h.ask(std::string("TRF@") + kGoodCode);
    EXPECT_EQ(h.ask(code("RPWF")).at(0).substr(4 + 2 * 36, 2), "90");

    EXPECT_TRUE(h.ask(code("DLRF")).empty());
    frame = h.ask(code("RPWF")).at(0);
    EXPECT_EQ(frame.substr(4, 2 * 37), std::string(2 * 37, '0'));
}

TEST(RadioSlots, TeachingAndDeletingAreRefusedDuringAModemCall) {
    ModuleHarness h;
    h.module().setRemoteCall(true);
    EXPECT_EQ(h.ask(std::string("TRF1") + kGoodCode), std::vector<std::string>{"RFTERR"});
    EXPECT_EQ(h.ask(code("DLRF")), std::vector<std::string>{"RFTERR"});
    EXPECT_EQ(h.ask(code("RPWF")).at(0).size(), 85u) << "polling still works";
    EXPECT_NE(h.module().radio().slot(24), 0) << "nothing deleted";

    ModuleSettings s;
    std::string error;
    ASSERT_TRUE(addFault("bad-radio-length", s.faults, error));
    ASSERT_TRUE(addFault("bad-status-length", s.faults, error));
    ModuleHarness damaged(s);
    EXPECT_EQ(damaged.ask(code("RPWF")).at(0).size(), 84u);
    EXPECT_EQ(damaged.ask(code("RPWS")).at(0).size(), 91u);
}

TEST(FactoryMemory, DecodesToASensibleInstallation) {
    const ParameterValues v = decode(factoryMemory());
    EXPECT_EQ(v.installerCode, "1234");
    EXPECT_EQ(v.users[0].name, "Kovács P.");
    EXPECT_EQ(v.users[0].code, "1111");
    EXPECT_EQ(v.zones[0].name, "Bejárat");
    EXPECT_EQ(v.zones[0].entryDelay, 30);
    EXPECT_EQ(v.zones[10].name, "Füstérz.");
    EXPECT_EQ(v.zones[11].inputType, 3);
    EXPECT_EQ(std::string(v.phones[0].data(), 11), "06301234567");
    EXPECT_EQ(v.events[0].contactId, "1 3 0");
    EXPECT_TRUE(v.events[0].routes[0] && v.events[0].routes[8]);
}

TEST(ModuleDrift, ChangesStateAndLogsAlarmsOnlyWhenArmed) {
    ModuleHarness h;
    const std::string first = h.ask(code("RPWS")).at(0);
    const int before = h.module().events().newestIndex();
    for (int i = 0; i < 40; ++i) h.advance(SimModule::kDriftMs);
    EXPECT_NE(h.ask(code("RPWS")).at(0), first);
    const int added = (h.module().events().newestIndex() - before + 96) % 96;
    for (const auto& e : h.module().events().newest(std::size_t(added)))
        if (e[0] >= 1 && e[0] <= 24 && e[0] % 2 == 1) ADD_FAILURE() << "alarm logged while disarmed";

    h.ask(code("PT1A"));
    h.ask(code("PT2A"));
    bool alarmed = false;
    for (int i = 0; i < 100 && !alarmed; ++i) {
        h.advance(SimModule::kDriftMs);
        const uint8_t kind = h.module().events().newest(1)[0][0];
        alarmed = kind <= 24 && kind % 2 == 1;
    }
    ASSERT_TRUE(alarmed);
    EXPECT_EQ(h.ask(code("RPWS")).at(0)[69], '1') << "siren on";
    h.ask(code("RSTP"));
    EXPECT_EQ(h.ask(code("RPWS")).at(0)[69], '0');
}

}  // namespace
}  // namespace corvanta::sim::test
