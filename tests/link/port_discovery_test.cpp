#include "link/port_discovery.h"

#include <gtest/gtest.h>

#include <set>

namespace corvanta {
namespace {

TEST(PortEntryText, ComNumberComesFromLeadingComOrFromTheParentheses) {
    EXPECT_EQ(comNumberOf("COM7"), 7);
    EXPECT_EQ(comNumberOf("+USB Serial Port (COM12);FTDI"), 12);
    EXPECT_EQ(comNumberOf("-Port (COM3) : Modem (COM9);x"), 3);  // the first "(COM" counts
    EXPECT_EQ(comNumberOf("Port (COMx);x"), 0);
    EXPECT_EQ(comNumberOf("Port (COM5;x"), 0);  // no closing parenthesis
    EXPECT_EQ(comNumberOf("Port COM5;x"), 0);
    EXPECT_EQ(comNumberOf("COM"), 0);
    // Cut down to a byte, 257 would quietly pick COM1.
    EXPECT_EQ(comNumberOf("Port (COM257);x"), 0);
    EXPECT_EQ(comNumberOf("Port (COM255);x"), 255);
}

TEST(PortEntryText, DisplayNameAndDetailSplitAtTheFirstSemicolon) {
    EXPECT_EQ(displayNameOf("+ttyUSB0 (COM3);FTDI : /dev/ttyUSB0"), "ttyUSB0 (COM3)");
    EXPECT_EQ(displayNameOf("-ttyS0 (COM1);"), "ttyS0 (COM1)");
    EXPECT_EQ(displayNameOf("ttyS0 (COM1)"), "");  // no ";" at all
    EXPECT_EQ(displayNameOf(";detail"), "");
    EXPECT_EQ(detailOf("+ttyUSB0 (COM3);FTDI;x"), "FTDI;x");
    EXPECT_EQ(detailOf("+ttyUSB0 (COM3);FT"), "FT");
    EXPECT_EQ(detailOf("+ttyUSB0 (COM3);F"), "");  // a lone character is no detail
    EXPECT_EQ(detailOf("+ttyUSB0 (COM3);"), "");
}

TEST(PortEntryText, SortKeepsTheOrderOfEqualNumbers) {
    PortEntries entries{"b (COM9);", "first (COM2);", "a (COM1);", "second (COM2);", "none;"};
    sortByComNumber(entries);
    EXPECT_EQ(entries, (PortEntries{"none;", "a (COM1);", "first (COM2);", "second (COM2);", "b (COM9);"}));
    EXPECT_EQ(findByComNumber(entries, 2), 2);
    EXPECT_EQ(findByComNumber(entries, 4), -1);
}

TEST(PortChoices, PresentPortsAreMarkedPlusAndAbsentMinusInComOrder) {
    PortEntries known{"a (COM1);", "b (COM2);", "c (COM4);"};
    EXPECT_EQ(markPortChoices(known, {4, 1, 7}), (PortEntries{"+a (COM1);", "-b (COM2);", "+c (COM4);"}));
    EXPECT_TRUE(markPortChoices({}, {1}).empty());
}

TEST(PortChoices, TwoEntriesForOneNumberBothAppearInTheOrderFound) {
    PortEntries known{"old (COM3);", "new (COM3);"};
    EXPECT_EQ(markPortChoices(known, {3}), (PortEntries{"+old (COM3);", "-new (COM3);"}));
}

// A machine whose serial devices and files the test controls.
struct FakeMachine {
    std::vector<SerialDeviceInfo> devices;
    std::set<std::string> files;
    PortDiscovery discovery{[this] { return devices; },
                            [this](const std::string& path) { return files.count(path) > 0; }};
};

TEST(PortDiscoveryOnLinux, FirstLookNumbersByNameAndNumbersStayForTheRun) {
    FakeMachine m;
    m.devices = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI"}, {"/dev/ttyS0", "", ""}};
    EXPECT_EQ(m.discovery.rebuildKnownPorts(),
              (PortEntries{"ttyS0 (COM1);/dev/ttyS0", "ttyUSB0 FT232R USB UART (COM2);FTDI : /dev/ttyUSB0"}));

    // Unplugged: still known, listed as absent; a new adapter takes a new number.
    m.devices = {{"/dev/ttyS0", "", ""}, {"/dev/ttyACM0", "Modem", ""}};
    EXPECT_EQ(m.discovery.buildPortChoices(),
              (PortEntries{"+ttyS0 (COM1);/dev/ttyS0", "-ttyUSB0 FT232R USB UART (COM2);FTDI : /dev/ttyUSB0",
                           "+ttyACM0 Modem (COM3);/dev/ttyACM0"}));
    EXPECT_EQ(m.discovery.deviceOf(2), "/dev/ttyUSB0");
    EXPECT_EQ(m.discovery.deviceOf(9), "");

    // Plugged in again: present under its old number.
    m.devices.push_back({"/dev/ttyUSB0", "FT232R USB UART", "FTDI"});
    EXPECT_EQ(m.discovery.buildPortChoices().at(1), "+ttyUSB0 FT232R USB UART (COM2);FTDI : /dev/ttyUSB0");
}

TEST(PortDiscoveryOnLinux, ExtraAndTypedPortsArePresentWhileTheirPathExists) {
    FakeMachine m;
    m.files = {"/dev/pts/4"};
    EXPECT_EQ(m.discovery.addExtraPort("/dev/pts/4", "Szimulált modul", "demo"), 1);
    EXPECT_EQ(m.discovery.addManualPort("/dev/ttyUSB7"), 2);
    EXPECT_EQ(m.discovery.addManualPort("/dev/ttyUSB7"), 2);
    EXPECT_EQ(m.discovery.addManualPort(""), 0);
    EXPECT_EQ(m.discovery.buildPortChoices(),
              (PortEntries{"+pts/4 Szimulált modul (COM1);demo : /dev/pts/4", "-ttyUSB7 (COM2);/dev/ttyUSB7"}));
    m.files = {"/dev/ttyUSB7"};
    EXPECT_EQ(m.discovery.buildPortChoices(),
              (PortEntries{"-pts/4 Szimulált modul (COM1);demo : /dev/pts/4", "+ttyUSB7 (COM2);/dev/ttyUSB7"}));
}

TEST(PortDiscoveryOnLinux, SeparatorInASystemTextDoesNotSplitTheEntry) {
    FakeMachine m;
    m.devices = {{"/dev/ttyUSB0", "Adapter; rev B", "Maker;Inc"}};
    auto entries = m.discovery.buildPortChoices();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(displayNameOf(entries[0]), "ttyUSB0 Adapter, rev B (COM1)");
    EXPECT_EQ(detailOf(entries[0]), "Maker,Inc : /dev/ttyUSB0");
}

}  // namespace
}  // namespace corvanta
