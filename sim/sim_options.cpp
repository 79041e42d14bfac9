#include "sim/sim_options.h"

#include <QCommandLineParser>
#include <QStringEncoder>

namespace corvanta::sim {

namespace {

// The program keys its cipher with the password's Windows-1250 bytes.
QByteArray passwordBytes(const QString& text) {
    QStringEncoder encoder("windows-1250");
    if (encoder.isValid()) return encoder.encode(text);
    return text.toLatin1();
}

bool parseInt(const QString& text, int low, int high, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high) return false;
    out = v;
    return true;
}

}  // namespace

ParseResult parseSimOptions(const QStringList& arguments, SimOptions& o, QString& message) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated GSM-Corvanta module: answers the program's line protocol on a pseudo-terminal\n"
        "and/or an encrypted TCP port. With both, the two links share one module and both hear\n"
        "its answers. --baud and --modem apply to the serial line only. Memory reads and writes\n"
        "need a login (\"RPWD\" or any command carrying the right installer code) within the last\n"
        "minute. The pseudo-terminal's path is printed on standard output; --verbose prints every\n"
        "line received and sent on standard error."));
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption image("image", "Parameter memory from a raw 2048-byte FILE (default: factory contents).", "FILE");
    const QCommandLineOption dataVersion("data-version", "Data version in the version block (default 2).", "N");
    const QCommandLineOption statusKind("status-kind", "Status frame kind 1..4 (default 4).", "K");
    const QCommandLineOption pty("pty", "Serve the serial line on a pseudo-terminal; PATH becomes a link to its slave.", "PATH");
    const QCommandLineOption tcp("tcp", "Serve the encrypted TCP link on PORT.", "PORT");
    const QCommandLineOption listen("listen", "Address for --tcp (default 127.0.0.1).", "ADDR");
    const QCommandLineOption password("password", "TCP password (default empty).", "TEXT");
    const QCommandLineOption modem("modem", "Put a Hayes modem in front of the serial line, answering calls to NUMBER.", "NUMBER");
    const QCommandLineOption baud("baud", "Pace the serial line to N baud, ten bits a byte, both ways.", "N");
    const QCommandLineOption fault("fault", "Misbehave as NAME says (repeatable; list below).", "NAME[=VALUE]");
    const QCommandLineOption seed("seed", "Seed of the module's drift (default 1).", "N");
    const QCommandLineOption learnMs("radio-learn-ms", "A radio slot in learning mode hears its device after MS (default 4000).", "MS");
    const QCommandLineOption verbose("verbose", "Print every line received and sent with a timestamp.");
    p.addOptions({help, image, dataVersion, statusKind, pty, tcp, listen, password, modem, baud, fault, seed, learnMs,
                  verbose});

    if (!p.parse(arguments)) {
        message = p.errorText();
        return ParseResult::Error;
    }
    if (p.isSet(help)) {
        message = p.helpText() + QStringLiteral("\nFaults (--fault):\n") + QString::fromStdString(faultHelp());
        return ParseResult::Help;
    }
    if (!p.positionalArguments().isEmpty()) {
        message = QStringLiteral("unexpected argument: ") + p.positionalArguments().first();
        return ParseResult::Error;
    }
    auto bad = [&message](const QString& text) {
        message = text;
        return ParseResult::Error;
    };
    if (p.isSet(image)) {
        std::string error;
        if (!loadMemoryFile(p.value(image).toStdString(), o.module.memory, error))
            return bad(QStringLiteral("--image: ") + QString::fromStdString(error));
    }
    if (p.isSet(dataVersion) && !parseInt(p.value(dataVersion), 0, 999999, o.module.dataVersion))
        return bad(QStringLiteral("--data-version needs a whole number from 0 to 999999"));
    if (p.isSet(statusKind) && !parseInt(p.value(statusKind), 1, 4, o.module.statusKind))
        return bad(QStringLiteral("--status-kind needs 1, 2, 3 or 4"));
    int seedValue = 1;
    if (p.isSet(seed) && !parseInt(p.value(seed), 0, 0x7fffffff, seedValue))
        return bad(QStringLiteral("--seed needs a whole number"));
    o.module.seed = uint32_t(seedValue);
    int learn = int(o.module.radioLearnMs);
    if (p.isSet(learnMs) && !parseInt(p.value(learnMs), 0, 600'000, learn))
        return bad(QStringLiteral("--radio-learn-ms needs a whole number of milliseconds up to 600000"));
    o.module.radioLearnMs = learn;
    if (p.isSet(tcp)) {
        int port = 0;
        if (!parseInt(p.value(tcp), 1, 65535, port)) return bad(QStringLiteral("--tcp needs a port from 1 to 65535"));
        o.tcpPort = quint16(port);
    }
    if (p.isSet(listen) && !o.listen.setAddress(p.value(listen)))
        return bad(QStringLiteral("--listen needs an IP address, not \"%1\"").arg(p.value(listen)));
    if (p.isSet(baud) && !parseInt(p.value(baud), 50, 4'000'000, o.baud))
        return bad(QStringLiteral("--baud needs a rate from 50 to 4000000"));
    for (const QString& f : p.values(fault)) {
        std::string error;
        if (!addFault(f.toStdString(), o.module.faults, error)) return bad(QString::fromStdString(error));
    }
    o.ptyPath = p.value(pty);
    o.password = passwordBytes(p.value(password));
    o.modemNumber = p.value(modem);
    if (p.isSet(modem) && o.modemNumber.isEmpty()) return bad(QStringLiteral("--modem needs a telephone number"));
    o.verbose = p.isSet(verbose);
    if (!p.isSet(pty) && !o.tcpPort) return bad(QStringLiteral("give --pty PATH, --tcp PORT or both (see --help)"));
    if (p.isSet(pty) && o.ptyPath.isEmpty()) return bad(QStringLiteral("--pty needs a path"));
    return ParseResult::Run;
}

}  // namespace corvanta::sim
