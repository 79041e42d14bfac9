#include "app/cli_session.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace corvanta::cli {

namespace {

constexpr int kTcpConnectMs = 10000;
constexpr std::size_t kCodeFieldLength = 6;

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

}  // namespace

void say(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

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

}  // namespace corvanta::cli
