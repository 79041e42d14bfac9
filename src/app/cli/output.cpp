#include "app/cli/output.h"

#include <QJsonDocument>

#include <algorithm>
#include <cstdio>

namespace corvanta::cli {

namespace {

constexpr double kMaxSeconds = 24 * 60 * 60;

void printBytes(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

}  // namespace

std::optional<int> openDataSession(const Args& args, Session& s, const std::set<std::string>& commandOptions) {
    s.chatter = stderr;
    return openSession(args, s, commandOptions);
}

void printJson(const QJsonObject& object) {
    printBytes(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

void printText(const QString& text) { printBytes(text.toUtf8()); }

QJsonObject eventRowJson(const NumberedEventRow& row) {
    const auto cells = keptCells(row);
    QJsonObject pending;
    for (std::size_t r = 0; r < row.cells.routes.size(); ++r)
        pending.insert(QString::fromUtf8(kEventListTitles[4 + r]), row.cells.routes[r] == "X");
    return {{"row", row.number},
            {"time", QString::fromStdString(cells[1])},
            {"text", QString::fromStdString(cells[2])},
            {"subject", QString::fromStdString(cells[3])},
            {"pending", pending},
            {"status", QString::fromStdString(cells[kEventListColumns - 1])}};
}

// The rows as a table with a title line, each column as wide as its
// widest cell.
QString eventTable(const std::vector<NumberedEventRow>& rows, const std::array<const char*, kEventListColumns>& titles) {
    std::vector<std::array<QString, kEventListColumns>> lines;
    std::array<QString, kEventListColumns> header;
    for (std::size_t c = 0; c < kEventListColumns; ++c) header[c] = QString::fromUtf8(titles[c]);
    lines.push_back(header);
    for (const auto& row : rows) {
        const auto cells = keptCells(row);
        std::array<QString, kEventListColumns> line;
        for (std::size_t c = 0; c < kEventListColumns; ++c) line[c] = QString::fromStdString(cells[c]);
        lines.push_back(line);
    }
    std::array<qsizetype, kEventListColumns> width{};
    for (const auto& line : lines)
        for (std::size_t c = 0; c < kEventListColumns; ++c) width[c] = std::max(width[c], line[c].size());
    QString text;
    for (const auto& line : lines) {
        QString out;
        for (std::size_t c = 0; c < kEventListColumns; ++c) {
            const QString cell = c == 0 ? line[c].rightJustified(width[c]) : line[c].leftJustified(width[c]);
            out += (c == 0 ? QString() : QStringLiteral("  ")) + cell;
        }
        while (out.endsWith(QLatin1Char(' '))) out.chop(1);
        text += out + QLatin1Char('\n');
    }
    return text;
}

std::optional<int> checkUsage(const Args& args, const std::set<std::string>& allowed, std::size_t words,
                              const std::string& usage) {
    static const std::set<std::string> everywhere = {"--log", "--log-raw", "--verbose", "--help", "-h"};
    for (const auto& f : args.flags) {
        if (everywhere.count(f) || allowed.count(f)) continue;
        std::fprintf(stderr, "corvanta-cli: %s does not take %s\nusage: corvanta-cli %s\n", args.command.c_str(),
                     f.c_str(), usage.c_str());
        return ExitUsage;
    }
    if (args.positional.size() == words) return std::nullopt;
    std::fprintf(stderr, "usage: corvanta-cli %s\n", usage.c_str());
    return ExitUsage;
}

void ensureCoreApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "corvanta-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

std::optional<int> checkWords(const Args& args, const std::set<std::string>& flags,
                              const std::set<std::string>& options, std::size_t words, const std::string& usage) {
    if (auto status = checkUsage(args, flags, words, usage)) return status;
    for (const auto& [name, value] : args.options) {
        if (options.count(name)) continue;
        std::fprintf(stderr, "corvanta-cli: %s does not take %s\nusage: corvanta-cli %s\n", args.command.c_str(),
                     name.c_str(), usage.c_str());
        return ExitUsage;
    }
    return std::nullopt;
}

std::optional<double> parseSeconds(const std::string& text) {
    bool ok = false;
    const double s = QString::fromStdString(text).toDouble(&ok);
    if (!ok || !(s > 0) || s > kMaxSeconds) return std::nullopt;
    return s;
}

int fail(int status, const QString& why) { return fail(status, why.toStdString()); }

int fail(int status, const char* why) { return fail(status, std::string(why)); }

int fail(int status, const std::string& why) {
    std::fprintf(stderr, "corvanta-cli: %s\n", why.c_str());
    return status;
}

}  // namespace corvanta::cli
