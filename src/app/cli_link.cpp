// Module operations of corvanta-cli: version, read, write, compare and alarm
// stop over a serial line (or a pseudo-terminal) or the TCP/IP link. Each
// prints the messages and status lines the program would show.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "app/cli_commands.h"
#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "link/serial_transport.h"
#include "transfer/parameter_file.h"
#include "transfer/parameter_transfer.h"

namespace corvanta::cli {

namespace {

constexpr int kTcpConnectMs = 10000;
constexpr std::size_t kCodeFieldLength = 6;

void say(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

// The command line itself is the confirmation, so questions answer Yes.
class PrintingMessenger : public Messenger {
public:
    void showMessage(const QString& text, const QString& = {}) override { say(text); }
    bool askYesNo(const QString& text, const QString& = {}) override {
        say(text + QStringLiteral(" Igen"));
        return true;
    }
};

// Prints the indicators once the operation is over: one letter per block.
class PrintingView : public TransferView {
public:
    void paintBlock(int block, BlockColour colour) override { colours_[block] = colour; }
    void setOperationRunning(bool) override {}
    void print() const {
        static constexpr char kLetters[] = "SWYGR";
        std::string row;
        for (BlockColour c : colours_) row.push_back(kLetters[int(c)]);
        say(QStringLiteral("Blokkok: ") + QString::fromStdString(row));
    }

private:
    std::array<BlockColour, kImageBlockCount> colours_{};
};

struct Session {
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<SerialTransport> serial;
    PrintingMessenger messenger;
};

int argcStore = 1;
char argvName[] = "corvanta-cli";
char* argvStore[] = {argvName, nullptr};

// Checks the link options; an error text for bad usage. A misspelt option
// is refused rather than ignored: "--tcp-prot 9000" would otherwise quietly
// reach the default port.
std::optional<std::string> checkLinkOptions(const Args& args) {
    for (const auto& [name, value] : args.options) {
        const bool known = name == "--port" || name == "--host" || name == "--password" ||
                           name == "--tcp-port" || name == "--code" ||
                           (name == "-o" && args.command == "read");
        if (!known) return "unknown option " + name;
    }
    const bool port = args.option("--port").has_value();
    const bool host = args.option("--host").has_value();
    if (port == host) return "give either --port PATH or --host HOST --password TEXT";
    if (host && !args.option("--password")) return "--host needs --password TEXT";
    if (auto p = args.option("--tcp-port")) {
        bool ok = false;
        const int n = QString::fromStdString(*p).toInt(&ok);
        if (!ok || n < 1 || n > 65535) return "--tcp-port takes a port number";
    }
    if (auto code = args.option("--code"); code && code->size() > kCodeFieldLength)
        return "--code takes at most 6 characters";
    return std::nullopt;
}

bool connectTcp(ModuleLink& link, const Args& args) {
    link.setTcpPassword(QString::fromStdString(*args.option("--password")));
    const quint16 port = args.option("--tcp-port")
                             ? quint16(QString::fromStdString(*args.option("--tcp-port")).toUInt())
                             : TcpLink::kModulePort;
    QEventLoop loop;
    bool failed = false;
    QObject::connect(&link.tcp(), &TcpLink::activeChanged, &loop, [&](bool up) {
        if (up) loop.quit();
    });
    QObject::connect(&link.tcp(), &TcpLink::statusChanged, &loop, [&](const QString& s) {
        if (s.startsWith(QStringLiteral("TCP/IP Socket Error")) ||
            s.startsWith(QStringLiteral("TCP/IP Disconnected"))) {
            failed = true;
            loop.quit();
        }
    });
    if (!link.tcp().connectTo(QString::fromStdString(*args.option("--host")), port)) return false;
    QTimer::singleShot(kTcpConnectMs, &loop, &QEventLoop::quit);
    if (!link.tcpActive()) loop.exec();
    if (!failed && !link.tcpActive())
        std::fprintf(stderr, "corvanta-cli: no connection to %s within %d s\n",
                     args.option("--host")->c_str(), kTcpConnectMs / 1000);
    return !failed && link.tcpActive();
}

// Sets up the link the options name; nullopt when connected, else the exit
// status.
std::optional<int> openSession(const Args& args, Session& s) {
    if (auto error = checkLinkOptions(args)) {
        std::fprintf(stderr, "corvanta-cli: %s\n", error->c_str());
        return ExitUsage;
    }
    s.app = std::make_unique<QCoreApplication>(argcStore, argvStore);
    s.link = std::make_unique<ModuleLink>();
    ModuleLink& link = *s.link;
    link.setMessenger(&s.messenger);
    link.setInstallerCode(QString::fromStdString(args.option("--code").value_or("")));
    QObject::connect(&link, &ModuleLink::statusLineChanged, [](const QString& t) {
        if (!t.isEmpty()) say(t);
    });
    if (args.flag("--log"))
        QObject::connect(&link, &ModuleLink::trafficLogged, [](const QString& t) { say(t); });

    if (auto port = args.option("--port")) {
        s.serial = std::make_unique<SerialTransport>();
        QString error;
        if (!s.serial->setPortName(QString::fromStdString(*port), &error)) {
            say(error);
            return ExitFailed;
        }
        link.setTransport(s.serial.get());
        return link.serialConnect() ? std::nullopt : std::optional<int>(ExitFailed);
    }
    return connectTcp(link, args) ? std::nullopt : std::optional<int>(ExitFailed);
}

void closeSession(Session& s) {
    if (s.link->tcpActive()) s.link->tcp().disconnectByUser();
    if (s.serial) s.serial->close();
}

int runVersion(const Args& args) {
    Session s;
    if (auto exit = openSession(args, s)) return *exit;
    bool ok = false;
    {
        ModuleLink::Conversation conversation(*s.link);
        const QString text = s.link->queryModuleVersion();
        if (!text.isEmpty()) say(text);
        ok = text.startsWith(QString::fromUtf8(texts::kVersionPrefix));
    }
    closeSession(s);
    return ok ? ExitOk : ExitFailed;
}

// read, compare and write share everything but the operation.
int runTransfer(const Args& args, const std::string& fileIn, bool (ParameterTransfer::*op)(),
                const std::string& fileOut) {
    ParameterImage image{};
    if (!fileIn.empty()) {
        if (auto error = loadParameterFile(QString::fromStdString(fileIn), image)) {
            std::fprintf(stderr, "corvanta-cli: %s: %s\n", fileIn.c_str(),
                         error->toUtf8().constData());
            return ExitUsage;
        }
    }
    Session s;
    if (auto exit = openSession(args, s)) return *exit;
    PrintingView view;
    ParameterTransfer transfer(*s.link, image, view);
    bool ok = (transfer.*op)();
    view.print();
    if (ok && !fileOut.empty()) ok = transfer.saveFile(QString::fromStdString(fileOut));
    closeSession(s);
    return ok ? ExitOk : ExitFailed;
}

int needOneFile(const Args& args, const char* usage) {
    if (args.positional.size() == 1) return ExitOk;
    std::fprintf(stderr, "usage: corvanta-cli %s\n", usage);
    return ExitUsage;
}

}  // namespace

std::vector<Command> linkCommands() {
    static const std::string kLinkUsage =
        "  (--port PATH | --host HOST --password TEXT [--tcp-port N]) [--code DIGITS] [--log]";
    return {
        {"version", "version" + kLinkUsage,
         [](const Args& args) { return runVersion(args); }},
        {"read", "read -o FILE" + kLinkUsage,
         [](const Args& args) {
             const auto out = args.option("-o");
             if (!out || !args.positional.empty()) {
                 std::fprintf(stderr, "usage: corvanta-cli read -o FILE\n");
                 return int(ExitUsage);
             }
             return runTransfer(args, {}, &ParameterTransfer::read, *out);
         }},
        {"write", "write FILE" + kLinkUsage,
         [](const Args& args) {
             if (int e = needOneFile(args, "write FILE")) return e;
             return runTransfer(args, args.positional[0], &ParameterTransfer::write, {});
         }},
        {"compare", "compare FILE" + kLinkUsage,
         [](const Args& args) {
             if (int e = needOneFile(args, "compare FILE")) return e;
             return runTransfer(args, args.positional[0], &ParameterTransfer::compare, {});
         }},
        {"alarm-stop", "alarm-stop" + kLinkUsage,
         [](const Args& args) {
             Session s;
             if (auto exit = openSession(args, s)) return *exit;
             const bool ok = s.link->alarmStop();
             closeSession(s);
             return ok ? int(ExitOk) : int(ExitFailed);
         }},
    };
}

}  // namespace corvanta::cli
