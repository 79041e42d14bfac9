// The name and event memory loads against the simulated module in the same
// process. Transfer ticks run a hundred times faster than on the wire.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>

#include "link/messenger.h"
#include "link/module_link.h"
#include "service/event_memory_load.h"
#include "service/module_names_load.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"

using namespace corvanta;

namespace {

class ServiceLoadTest : public ::testing::Test {
protected:
    void start(sim::ModuleSettings settings = {}, bool open = true) {
        ensureQtCoreApp();
        module = std::make_unique<sim::SimModule>(std::move(settings));
        line = std::make_unique<sim::SimTransport>(module.get());
        auto code = std::make_unique<ManualTickSource>();
        codeTicks = code.get();
        link = std::make_unique<ModuleLink>(std::make_unique<TimerTickSource>(1), std::move(code));
        link->setTransport(line.get());
        link->setMessenger(&messages);
        link->setInstallerCode("1234");
        if (open) link->serialConnect();
    }
    sim::ModuleSettings withFault(const char* fault) {
        sim::ModuleSettings s;
        std::string error;
        EXPECT_TRUE(sim::addFault(fault, s.faults, error)) << error;
        return s;
    }
    StatusSink sink() {
        return [this](const QString& text) { statuses.push_back(text.toStdString()); };
    }
    EventMemory moduleEvents() const {
        EventMemory m{};
        for (int n = 0; n < 4; ++n) {
            const auto block = module->events().block(n);
            std::copy(block.begin(), block.end(), m.begin() + 256 * n);
        }
        return m;
    }

    corvanta::testing::RecordingMessenger messages;
    std::vector<std::string> statuses;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::unique_ptr<ModuleLink> link;
    ManualTickSource* codeTicks = nullptr;
    ModuleNamesStore store;
};

EventMemory filled(std::uint8_t value) {
    EventMemory m;
    m.fill(value);
    return m;
}

}  // namespace

TEST_F(ServiceLoadTest, EventMemoryLoadCopiesAllFourBlocksAndReportsEachStep) {
    start();
    EventMemory memory{};
    ASSERT_TRUE(loadEventMemory(*link, memory, sink()));
    EXPECT_EQ(memory, moduleEvents());
    EXPECT_GT(memory[768], 0);
    const std::vector<std::string> expected = {
        "Eseménylista letöltése...",   "Eseménylista letöltése 0...", "Eseménylista letöltése 1...",
        "Eseménylista letöltése 2...", "Eseménylista letöltése 3...", "Eseménylista letöltve."};
    EXPECT_EQ(statuses, expected);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(ServiceLoadTest, EventMemoryFailureKeepsTheOldMemoryWhole) {
    for (const char* fault : {"no-read-reply=F002", "wrong-index=F002", "bad-checksum=F002"}) {
        start(withFault(fault));
        statuses.clear();
        EventMemory memory = filled(0xAA);
        EXPECT_FALSE(loadEventMemory(*link, memory, sink())) << fault;
        // No blocks of this module mixed with those of the one before.
        EXPECT_EQ(memory, filled(0xAA)) << fault;
        EXPECT_EQ(statuses.back(), "Leolvasás sikertelen.") << fault;
        EXPECT_TRUE(messages.messages.empty()) << fault;
        EXPECT_TRUE(link->codeTimerEnabled()) << fault;
    }
}

TEST_F(ServiceLoadTest, NoLinkOrARefusedLoginReadsNothing) {
    for (bool linkUp : {false, true}) {
        start(withFault("pwderr"), linkUp);
        messages.messages.clear();
        EventMemory memory = filled(7);
        QSignalSpy loaded(&store, &ModuleNamesStore::loaded);
        EXPECT_FALSE(loadEventMemory(*link, memory, sink()));
        EXPECT_FALSE(loadModuleNames(*link, store, sink()));
        EXPECT_EQ(memory, filled(7));
        EXPECT_EQ(loaded.count(), 0);
        const char* shown = linkUp ? " Hibás telepítői azonosító!" : " Nincs soros kapcsolat.";
        EXPECT_EQ(messages.messages, QStringList(2, shown));
    }
    EXPECT_EQ(statuses.back(), "Leolvasás sikertelen.");
}

TEST_F(ServiceLoadTest, NameLoadFailureKeepsTheNamesLoadedBefore) {
    start();
    ASSERT_TRUE(loadModuleNames(*link, store, sink()));
    const std::vector<std::string> expected = {
        "Zóna és Felhasználói nevek letöltése...", "Zóna és Felhasználói nevek letöltése 0...",
        "Zóna és Felhasználói nevek letöltése 1...", "Zóna és Felhasználói nevek letöltése 2...",
        "Zóna és Felhasználói nevek letöltve."};
    EXPECT_EQ(statuses, expected);
    const std::string before = store.names().zoneName(1);
    ASSERT_FALSE(ModuleNames::isBlank(before));
    for (const char* fault : {"no-read-reply=0002", "wrong-index=0001"}) {
        start(withFault(fault));
        QSignalSpy loaded(&store, &ModuleNamesStore::loaded);
        EXPECT_FALSE(loadModuleNames(*link, store, sink())) << fault;
        EXPECT_EQ(loaded.count(), 0) << fault;
        EXPECT_EQ(store.names().zoneName(1), before) << fault;
        EXPECT_EQ(statuses.back(), "Leolvasás sikertelen.") << fault;
    }
}

TEST_F(ServiceLoadTest, PeriodicLoginIsOffDuringALoadAndPutBackAsFound) {
    start();
    bool offDuring = true;
    const StatusSink watch = [&](const QString&) { offDuring &= !link->codeTimerEnabled(); };
    EventMemory memory{};
    ASSERT_TRUE(loadEventMemory(*link, memory, watch));
    EXPECT_TRUE(offDuring);
    EXPECT_TRUE(link->codeTimerEnabled());
    // Under the status monitor it is off and stays off: the monitor's own
    // poll runs instead, and a periodic "PWDOK" must not answer its waits.
    link->setCodeTimerEnabled(false);
    ASSERT_TRUE(loadModuleNames(*link, store, watch));
    EXPECT_TRUE(offDuring);
    EXPECT_FALSE(link->codeTimerEnabled());
}
