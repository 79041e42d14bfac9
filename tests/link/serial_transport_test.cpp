#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <csignal>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>

#include "link/serial_lock.h"
#include "link/serial_port_name.h"
#include "link/serial_transport.h"
#include "link/tick_source.h"
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

TEST(SerialTransport, AnExpectedReplyComesWholeAndAShortOneStillComes)
{
    ensureQtCoreApp();

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    // Opened before the port, which lets nobody in after it: what the line
    // holds for the port, unread, is counted through it.
    const int counter = ::open(::ptsname(master), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(counter, 0);
    auto* timer = new ManualTickSource;
    SerialTransport serial{std::unique_ptr<TickSource>(timer)};
    serial.setPortName(QString::fromLocal8Bit(::ptsname(master)));
    QString error;
    ASSERT_TRUE(serial.open(&error)) << error.toStdString();

    QByteArray received;
    QObject::connect(&serial, &Transport::readyRead, [&] {
        char buffer[1024];
        while (const qint64 n = serial.read(buffer, sizeof buffer)) received.append(buffer, n);
    });
    auto queued = [&] {
        int n = 0;
        return ::ioctl(counter, FIONREAD, &n) == 0 ? n : -1;
    };
    auto pumpUntil = [](const std::function<bool()>& done) {
        QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
    };
    auto send = [&](const QByteArray& bytes) { ASSERT_EQ(::write(master, bytes.constData(), size_t(bytes.size())), bytes.size()); };

    // A reply longer than one piece: its start comes at once; the next 255
    // bytes are not looked at for their wire time, then come in one go once
    // all are there (though a tty hands out only 64 a read while it is asked
    // to queue more); the last piece likewise.
    const QByteArray reply = QByteArray(299, 'A') + '\r';
    serial.expectReply(reply.size());
    send(reply.left(4));
    pumpUntil([&] { return received.size() == 4; });
    EXPECT_EQ(timer->interval(), 133);  // 255 bytes at 1920 a second
    send(reply.mid(4, 200));
    pumpUntil([&] { return queued() == 200; });
    timer->fire();
    QCoreApplication::processEvents();
    EXPECT_EQ(received.size(), 4);
    send(reply.mid(204, 55));
    pumpUntil([&] { return received.size() == 259; });
    EXPECT_EQ(queued(), 0);
    send(reply.mid(259));
    pumpUntil([&] { return queued() == 41; });
    EXPECT_EQ(received.size(), 259);
    timer->fire();
    pumpUntil([&] { return received.size() == reply.size(); });
    EXPECT_EQ(received, reply);

    // A short answer instead: delivered once the wait for the rest runs out.
    received.clear();
    serial.expectReply(reply.size());
    send("PWD");
    pumpUntil([&] { return received.size() == 3; });
    send("ERR\r\n");
    pumpUntil([&] { return queued() == 5; });
    timer->fire();
    QCoreApplication::processEvents();
    EXPECT_EQ(received, QByteArray("PWD"));
    timer->fire();
    pumpUntil([&] { return received.size() == 8; });
    EXPECT_EQ(received, QByteArray("PWDERR\r\n"));

    // Expecting nothing, every byte comes as it arrives.
    serial.expectReply(0);
    EXPECT_FALSE(timer->running());
    send("X");
    pumpUntil([&] { return received.endsWith('X'); });
    EXPECT_EQ(received, QByteArray("PWDERR\r\nX"));
    serial.close();
    ::close(counter);
    ::close(master);
}

// A program killed while it opened the port leaves the lock file empty: it
// made the file and locked it, and died before it wrote its number. The
// helper process here does just that, and is killed at that step.
TEST(SerialTransport, ALockWhoseOwnerIsGoneIsTakenOverAndOneHeldIsNot)
{
    ensureQtCoreApp();
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString port = QString::fromLocal8Bit(::ptsname(master));
    const QString lock = serialLockPath(port);
    ASSERT_FALSE(lock.isEmpty());
    QFile::remove(lock);
    const QByteArray lockName = QFile::encodeName(lock);

    // Makes the lock as the serial layer does and waits; returns its pid.
    auto lockingOwner = [&]() -> pid_t {
        int ready[2];
        if (::pipe(ready) != 0) return -1;
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int fd = ::open(lockName.constData(), O_RDWR | O_CREAT | O_EXCL, 0666);
            const bool ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
            ::write(ready[1], ok ? "y" : "n", 1);
            for (;;) ::pause();
        }
        char c = 0;
        ::close(ready[1]);
        const bool ok = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
        return ok ? pid : -1;
    };

    // Its owner alive: the port is in use, and stays so.
    const pid_t alive = lockingOwner();
    ASSERT_GT(alive, 0);
    EXPECT_EQ(serialLockState(lock), SerialLock::Held);
    SerialTransport serial;
    serial.setPortName(port);
    QString error;
    EXPECT_FALSE(serial.open(&error));
    EXPECT_TRUE(error.contains("in use by another program")) << error.toStdString();
    ::kill(alive, SIGKILL);
    ::waitpid(alive, nullptr, 0);

    // Its owner gone: said, and the port taken at once.
    ASSERT_TRUE(QFile::exists(lock));
    EXPECT_EQ(QFile(lock).size(), 0);
    EXPECT_EQ(serialLockState(lock), SerialLock::Stale);
    ASSERT_TRUE(serial.open(&error)) << error.toStdString();
    EXPECT_TRUE(serial.openNote().contains(QString::fromUtf8("egy már nem futó program zárolta")))
        << serial.openNote().toStdString();
    EXPECT_TRUE(serial.openNote().contains(lock));
    serial.close();
    SerialTransport again;
    again.setPortName(port);
    ASSERT_TRUE(again.open(&error)) << error.toStdString();
    EXPECT_TRUE(again.openNote().isEmpty());
    ::close(master);
}
