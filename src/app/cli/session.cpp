#include "app/cli/session.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "app/cli/kept_secrets.h"
#include "fleet/child_result.h"
#include "link/traffic_codes.h"

namespace corvanta::cli {

namespace {

constexpr int kTcpConnectMs = 10000;
constexpr std::size_t kCodeFieldLength = 6;

int argcStore = 1;
char argvName[] = "corvanta-cli";
char* argvStore[] = {argvName, nullptr};

constexpr qint64 kPasswordFileLimit = 4096;
// How long a pipe may take to bring the password.
constexpr int kPasswordWaitMs = 10000;

bool isLinkOption(const std::string& name) {
    return name == "--port" || name == "--host" || name == "--password" || name == "--password-file" ||
           name == "--tcp-port" || name == "--code" || name == "--site";
}

// The first line of a password file, without its line end. A pipe is fine
// (--password-file <(pass show corvanta)); only the first few KiB are read.
// Opened without waiting: a named pipe nobody writes to would otherwise hold
// the command (and a fleet) for ever. Its writer gets kPasswordWaitMs.
std::optional<std::string> readPasswordFile(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": cannot open: " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    const bool pipe = ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
    QDeadlineTimer deadline(kPasswordWaitMs);
    std::string text;
    char chunk[512];
    while (text.size() < std::size_t(kPasswordFileLimit) && text.find_first_of("\r\n") == std::string::npos) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            text.append(chunk, std::size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // A pipe with no writer yet reads as its end, one whose writer says
        // nothing yet as "try again": both wait for it, within the limit.
        const bool wait = pipe && (n == 0 ? text.empty() : errno == EAGAIN);
        if (n < 0 && !wait) {
            error = path + ": cannot read: " + std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (!wait && n == 0) break;
        pollfd p{fd, POLLIN, 0};
        const int ms = int(deadline.remainingTime());
        if (ms <= 0 || ::poll(&p, 1, ms) <= 0) {
            error = path + ": nothing to read from the pipe within " + std::to_string(kPasswordWaitMs / 1000) + " s";
            ::close(fd);
            return std::nullopt;
        }
        if ((p.revents & POLLHUP) && !(p.revents & POLLIN)) break;  // its writer came and went
    }
    ::close(fd);
    text = text.substr(0, text.find_first_of("\r\n"));
    return text;
}

std::optional<std::string> askPassword(const std::string& host) {
    return askHidden("TCP/IP password for " + host + ": ");
}

// Checks the link options and finds the secrets; an error text for bad
// usage. A misspelt option is refused rather than ignored: "--tcp-prot 9000"
// would otherwise quietly reach the default port. What is given on the
// command line or in the environment goes before what is kept for the site
// (`kept`, asked only when needed), and that before asking.
std::optional<std::string> checkLinkOptions(const Args& args, const std::set<std::string>& commandOptions,
                                            LinkSecrets& secrets,
                                            const std::function<const sitebook::SiteSecret&()>& kept);

}  // namespace

std::optional<std::string> askHidden(const std::string& prompt) {
    if (!::isatty(STDIN_FILENO)) return std::nullopt;
    // Echo off before the prompt: whatever is typed after it stays unseen.
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::fprintf(stderr, "%s", prompt.c_str());
    std::fflush(stderr);
    std::string line;
    std::getline(std::cin, line);
    if (quiet) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputc('\n', stderr);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

namespace {

std::optional<std::string> checkLinkOptions(const Args& args, const std::set<std::string>& commandOptions,
                                            LinkSecrets& secrets,
                                            const std::function<const sitebook::SiteSecret&()>& kept) {
    for (const auto& [name, value] : args.options) {
        if (!isLinkOption(name) && commandOptions.count(name) == 0) return "unknown option " + name;
    }
    const bool port = args.option("--port").has_value();
    const bool host = args.option("--host").has_value();
    if (port == host) return "give either --port PATH or --host HOST";
    if (args.option("--password") && args.option("--password-file"))
        return "give either --password-file FILE or --password TEXT, not both";
    if (auto p = args.option("--tcp-port")) {
        bool ok = false;
        const int n = QString::fromStdString(*p).toInt(&ok);
        if (!ok || n < 1 || n > 65535) return "--tcp-port takes a port number";
    }

    if (auto site = args.option("--site"); site) {
        if (QString::fromStdString(*site).trimmed().isEmpty()) return "--site takes a name";
        if (const QString problem = sitebook::siteNameProblem(QString::fromStdString(*site)); !problem.isEmpty())
            return "--site: " + problem.toStdString();
    }

    if (auto given = args.option("--code"))
        secrets.code = *given;
    else if (qEnvironmentVariableIsSet("CORVANTA_CODE")) {
        secrets.code = qEnvironmentVariable("CORVANTA_CODE").toStdString();
        // As --code is checked; the value itself is never repeated.
        if (!std::all_of(secrets.code.begin(), secrets.code.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return "CORVANTA_CODE holds something other than the installer code's digits";
    } else
        secrets.code = kept().installerCode.toStdString();
    if (secrets.code.size() > kCodeFieldLength)
        return "the installer code (--code or CORVANTA_CODE) has at most 6 characters";

    if (!host) return std::nullopt;
    if (auto file = args.option("--password-file")) {
        std::string error;
        auto text = readPasswordFile(*file, error);
        if (!text) return error;
        secrets.password = *text;
    } else if (auto given = args.option("--password")) {
        secrets.password = *given;
    } else if (qEnvironmentVariableIsSet("CORVANTA_PASSWORD")) {
        secrets.password = qEnvironmentVariable("CORVANTA_PASSWORD").toStdString();
    } else if (!kept().tcpPassword.isEmpty()) {
        secrets.password = kept().tcpPassword.toStdString();
    } else if (auto asked = askPassword(*args.option("--host"))) {
        secrets.password = *asked;
    } else {
        return "--host needs the TCP/IP password: --password-file FILE or CORVANTA_PASSWORD "
               "(or --password TEXT, which other users can read)";
    }
    return std::nullopt;
}

// The site --site names, as the link options reach it.
sitebook::Site siteFromOptions(const Args& args) {
    sitebook::Site site;
    site.name = QString::fromStdString(*args.option("--site")).trimmed();
    site.serialPort = QString::fromStdString(args.option("--port").value_or(""));
    site.tcpHost = QString::fromStdString(args.option("--host").value_or(""));
    if (auto p = args.option("--tcp-port")) site.tcpPort = QString::fromStdString(*p).toInt();
    return site;
}

bool connectTcp(ModuleLink& link, const Args& args, const LinkSecrets& secrets) {
    link.setTcpPassword(QString::fromStdString(secrets.password));
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

void say(const QString& text) { say(stdout, text); }

void say(std::FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", text.toUtf8().constData());
    std::fflush(to);
}

const std::string& linkUsage() {
    static const std::string usage =
        "  (--port PATH | --host HOST [--password-file FILE] [--tcp-port N]) [--code DIGITS] [--site NAME] [--log | --log-raw]";
    return usage;
}

const std::string& linkOptionsHelp() {
    static const std::string help =
        "link options (every command that talks to the module):\n"
        "  --port PATH           the module's serial line (or a pseudo-terminal)\n"
        "  --host HOST           the module's TCP/IP address; the password is taken from\n"
        "                        --password-file FILE (its first line), else from\n"
        "                        $CORVANTA_PASSWORD, else asked on the terminal\n"
        "  --password TEXT       the password on the command line: other local users can\n"
        "                        read it (ps); prefer the file or the environment\n"
        "  --tcp-port N          the module's TCP port, 8989 unless given\n"
        "  --code DIGITS         the installer code, else $CORVANTA_CODE; on the command\n"
        "                        line it is visible to other users too\n"
        "  --site NAME           record reads and writes in the site book under NAME (a\n"
        "                        new NAME is added with the link given here); the book is\n"
        "                        $CORVANTA_SITEBOOK (a file, or postgresql://USER@HOST/DB\n"
        "                        for a server), else $XDG_DATA_HOME/corvanta/sitebook.sqlite\n"
        "  --log                 print the traffic as the traffic log shows it, the\n"
        "                        digits of the codes in block frames (and the\n"
        "                        checksums of those frames) as *\n"
        "  --log-raw             the same with the codes as they are, for protocol work\n";
    return help;
}

std::optional<int> openSession(const Args& args, Session& s, const std::set<std::string>& commandOptions) {
    LinkSecrets secrets;
    // The site whose kept code and password stand in for those not given.
    const QString keptName =
        args.option("--site") ? QString::fromStdString(*args.option("--site")).trimmed() : s.keptSite;
    std::optional<sitebook::SiteSecret> kept;
    const auto keptSecret = [&]() -> const sitebook::SiteSecret& {
        if (!kept) kept = keptName.isEmpty() ? sitebook::SiteSecret{} : keptSecretOf(keptName);
        return *kept;
    };
    if (auto error = checkLinkOptions(args, commandOptions, secrets, keptSecret)) {
        std::fprintf(stderr, "corvanta-cli: %s\n", error->c_str());
        return ExitUsage;
    }
    s.app = std::make_unique<QCoreApplication>(argcStore, argvStore);
    s.link = std::make_unique<ModuleLink>();
    ModuleLink& link = *s.link;
    s.messenger.to = s.chatter;
    link.setMessenger(&s.messenger);
    link.setInstallerCode(QString::fromStdString(secrets.code));
    std::FILE* chatter = s.chatter;
    // Two coded commands refused in a row set the same status line twice;
    // the user is told once.
    QObject::connect(&link, &ModuleLink::statusLineChanged, [chatter, last = QString()](const QString& t) mutable {
        if (t.isEmpty() || t == last) return;
        last = t;
        say(chatter, t);
    });
    if (args.flag("--log") || args.flag("--log-raw")) {
        const bool raw = args.flag("--log-raw");
        QObject::connect(&link, &ModuleLink::trafficLogged, [chatter, raw](const QString& t) {
            say(chatter, raw ? t : QString::fromStdString(maskTrafficCodes(t.toStdString())));
        });
    }
    if (args.option("--site")) {
        // One open of the book for the whole command, however many records.
        s.recorder = std::make_unique<sitebook::SiteRecorder>(sitebook::SiteBook::defaultPath(),
                                                              sitebook::SiteBook::kBusyTimeoutMs,
                                                              sitebook::SiteRecorder::Hold::WholeLife);
        s.recorder->setSite(siteFromOptions(args));
        // A fleet child writing for a batch: its write is kept under it.
        if (const auto batch = fleet::batchFromEnvironment()) s.recorder->setWriteOrigin({batch, std::nullopt, {}});
        // The site itself is added with the first record, once the module
        // answered: a mistyped port must not leave a site behind.
        if (const QString refused = s.recorder->checkBook(); !refused.isEmpty()) say(chatter, refused);
    }

    if (auto port = args.option("--port")) {
        s.serial = std::make_unique<SerialTransport>();
        QString error;
        if (!s.serial->setPortName(QString::fromStdString(*port), &error)) {
            say(s.chatter, error);
            return ExitFailed;
        }
        link.setTransport(s.serial.get());
        return link.serialConnect() ? std::nullopt : std::optional<int>(ExitFailed);
    }
    return connectTcp(link, args, secrets) ? std::nullopt : std::optional<int>(ExitFailed);
}

void closeSession(Session& s) {
    if (s.link->tcpActive()) s.link->tcp().disconnectByUser();
    if (s.serial) s.serial->close();
}

}  // namespace corvanta::cli
