#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "link/serial_port_name.h"
#include "link/serial_transport.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;

TEST(SerialPortName, ComNamesAreNormalisedAndDevicePathsKept)
{
    EXPECT_EQ(normaliseSerialPortName("COM3"), "COM3");
    EXPECT_EQ(normaliseSerialPortName("com12"), "COM12");
    EXPECT_EQ(normaliseSerialPortName("COM96"), "COM96");
    EXPECT_EQ(normaliseSerialPortName("COM007"), "COM7");
    for (const char* bad : {"", "COM", "COM0", "COM97", "COMx", "COM3a", "Com-2"})
        EXPECT_EQ(normaliseSerialPortName(bad), "COM1") << bad;
    EXPECT_EQ(normaliseSerialPortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(normaliseSerialPortName("ttyS1"), "ttyS1");
}

TEST(SerialOpenError, PermissionTextNamesTheOwningGroup)
{
    const std::string text = serialOpenErrorText(SerialOpenProblem::PermissionDenied,
                                                 "/dev/ttyUSB0", "dialout", "", 13);
    EXPECT_NE(text.find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_NE(text.find("\"dialout\""), std::string::npos);
    EXPECT_NE(text.find("usermod -aG dialout"), std::string::npos);
    EXPECT_NE(text.find("(system error code: 13)"), std::string::npos);
    // Without a group to name, the usual one is.
    EXPECT_NE(serialOpenErrorText(SerialOpenProblem::PermissionDenied, "/dev/ttyS0", "", "", 13).find("\"dialout\""),
              std::string::npos);
}

TEST(SerialTransport, MissingDeviceFailsWithAnActionableMessage)
{
    SerialTransport serial;
    serial.setPortName(QStringLiteral("/dev/ttyCorvantaMissing"));
    QString error;
    EXPECT_FALSE(serial.open(&error));
    EXPECT_FALSE(serial.isOpen());
    EXPECT_TRUE(error.startsWith("Unable to open com port /dev/ttyCorvantaMissing: no such device."))
        << error.toStdString();
    EXPECT_FALSE(serial.write("RPWD\r"));
}

TEST(SerialTransport, CarriesBytesBothWaysOverAPseudoTerminal)
{
    ensureQtCoreApp();

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    SerialTransport serial;
    serial.setPortName(QString::fromLocal8Bit(::ptsname(master)));
    QString error;
    ASSERT_TRUE(serial.open(&error)) << error.toStdString();
    SerialTransport second;
    second.setPortName(serial.portName());
    EXPECT_FALSE(second.open(&error));
    EXPECT_TRUE(error.contains("in use by another program")) << error.toStdString();

    ASSERT_TRUE(serial.write("RPWD123456\r"));
    ASSERT_EQ(::write(master, "PWDOK\r", 6), 6);
    std::string sent;
    QByteArray received;
    QDeadlineTimer deadline(5000);
    while ((sent.size() < 11 || received.size() < 6) && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        char buffer[64];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) sent.append(buffer, std::size_t(n));
        received += serial.readAll();
    }
    EXPECT_EQ(sent, "RPWD123456\r");
    EXPECT_EQ(received, QByteArray("PWDOK\r"));
    ::close(master);
}

TEST(SerialTransport, BytesLeftOnTheLineBeforeTheOpenAreNotTakenForAnswers)
{
    ensureQtCoreApp();

    // A pseudo-terminal keeps what its far end wrote while nobody listened,
    // as the module's answers to an earlier session: a "PWDOK" of that
    // session must not pass for the answer to this one's login.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    SerialTransport serial;
    serial.setPortName(QString::fromLocal8Bit(::ptsname(master)));
    ASSERT_EQ(::write(master, "PWDOK\r", 6), 6);
    QString error;
    ASSERT_TRUE(serial.open(&error)) << error.toStdString();
    ASSERT_EQ(::write(master, "WROK\r", 5), 5);
    QByteArray received;
    QDeadlineTimer deadline(5000);
    while (!received.endsWith("WROK\r") && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        received += serial.readAll();
    }
    EXPECT_EQ(received, QByteArray("WROK\r"));
    ::close(master);
}
