// The port chooser's list and selection.

#include "ui/main/port_chooser.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

#include "link/port_discovery.h"

namespace corvanta {
namespace {

class PortChooserTest : public ::testing::Test {
protected:
    std::vector<SerialDeviceInfo> devices{{"/dev/ttyUSB0", "FT232R", "FTDI"}, {"/dev/ttyS0", "", ""}};
    std::set<std::string> files;
    PortDiscovery discovery{[this] { return devices; },
                            [this](const std::string& p) { return files.count(p) > 0; }};
    PortChooser chooser{discovery};

    // Opens the chooser as the main window does, runs `inside`, and closes it.
    int open(const QString& currentTitle, std::function<void()> inside, bool ok = true) {
        chooser.setCurrentTitle(currentTitle);
        QTimer::singleShot(0, &chooser, [&, inside] {
            inside();
            ok ? chooser.accept() : chooser.reject();
        });
        return chooser.exec();
    }
};

TEST_F(PortChooserTest, ListsPresentPortsInComOrderAndSelectionFillsThePanels) {
    open({}, [&] {
        EXPECT_EQ(chooser.choices(), (QStringList{"+ttyS0 (COM1);/dev/ttyS0", "+ttyUSB0 FT232R (COM2);FTDI : /dev/ttyUSB0"}));
        EXPECT_EQ(chooser.currentRow(), -1);
        EXPECT_EQ(chooser.panel1Text(), "");
        chooser.selectRow(1);
        EXPECT_EQ(chooser.panel1Text(), "ttyUSB0 FT232R (COM2)");
        EXPECT_EQ(chooser.panel2Text(), "FTDI : /dev/ttyUSB0");
    });
    EXPECT_EQ(chooser.selectedComNumber(), 2);
    EXPECT_EQ(chooser.selectedPortName(), "COM2");
    EXPECT_EQ(chooser.selectedPortTitle(), "ttyUSB0 FT232R (COM2)");
    EXPECT_EQ(chooser.selectedDevice(), "/dev/ttyUSB0");
}

TEST_F(PortChooserTest, ReopeningPreselectsThePortShownInTheMainWindow) {
    open(QStringLiteral("ttyUSB0 FT232R (COM2)"), [&] {
        EXPECT_EQ(chooser.currentRow(), 1);
        EXPECT_EQ(chooser.panel2Text(), "FTDI : /dev/ttyUSB0");
    });
    open(QStringLiteral("something gone"), [&] { EXPECT_EQ(chooser.currentRow(), -1); });
}

TEST_F(PortChooserTest, RefreshMarksAnUnpluggedAdapterAbsentAndKeepsTheHighlight) {
    open({}, [&] {
        chooser.selectRow(1);
        devices.pop_back();  // ttyS0 goes
        chooser.refresh();
        EXPECT_EQ(chooser.choices().at(0), "-ttyS0 (COM1);/dev/ttyS0");
        EXPECT_EQ(chooser.currentRow(), 1);
        devices.push_back({"/dev/ttyACM0", "Modem", ""});
        chooser.refresh();
        EXPECT_EQ(chooser.choices().at(2), "+ttyACM0 Modem (COM3);/dev/ttyACM0");
    });
}

TEST_F(PortChooserTest, RefreshLeavesAScrolledListWhereTheUserPutIt) {
    for (int i = 0; i < 30; ++i) devices.push_back({"/dev/ttyUSB" + std::to_string(10 + i), "", ""});
    open({}, [&] {
        QScrollBar* bar = chooser.findChild<QListWidget*>(QStringLiteral("StringGrid1"))->verticalScrollBar();
        QCoreApplication::processEvents();
        ASSERT_GT(bar->maximum(), 0);
        bar->setValue(bar->maximum());
        const int scrolled = bar->value();
        chooser.refresh();  // nothing changed
        EXPECT_EQ(bar->value(), scrolled);
        devices.pop_back();  // one unplugged: the list is rebuilt
        chooser.refresh();
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->value(), scrolled);
        EXPECT_TRUE(chooser.choices().last().startsWith('-'));
    });
}

TEST_F(PortChooserTest, ClosingWithoutOkKeepsTheFormerChoice) {
    open({}, [&] { chooser.selectRow(0); });
    EXPECT_EQ(open({}, [&] {}, false), int(QDialog::Rejected));
    EXPECT_EQ(chooser.selectedDevice(), "/dev/ttyS0");
}

TEST_F(PortChooserTest, TypedPortIsListedAndSelected) {
    open({}, [&] {
        chooser.addTypedPort(QStringLiteral("  /dev/ttyUSB9 "));
        EXPECT_EQ(chooser.choices().at(2), "-ttyUSB9 (COM3);/dev/ttyUSB9");  // not there (yet)
        EXPECT_EQ(chooser.currentRow(), 2);
    });
    EXPECT_EQ(chooser.selectedDevice(), "/dev/ttyUSB9");
    EXPECT_EQ(chooser.selectedPortTitle(), "ttyUSB9 (COM3)");
}

}  // namespace
}  // namespace corvanta
