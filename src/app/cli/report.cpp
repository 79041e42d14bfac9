// corvanta-cli report: the settings report of a parameter file as a PDF, the
// one the transfer window prints, for a customer or a colleague to read.
#include <QDateTime>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <memory>

#include "app/cli/commands.h"
#include "app/cli/files.h"
#include "app/cli/output.h"
#include "transfer/settings_report.h"
#include "ui/reports/report_document.h"
#include "ui/reports/settings_report_document.h"

namespace corvanta::cli {
namespace {

const std::string kUsage = "report IMAGE -o FILE.pdf [--site NAME]";

// Fonts and PDF pages need a GUI application; no window is ever shown, so
// no display is needed either. It lives as long as the command, so that it
// goes before what it set up for the fonts.
std::unique_ptr<QGuiApplication> guiApp() {
    static int argc = 3;
    static char name[] = "corvanta-cli", platform[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int runReport(const Args& args) {
    if (auto status = checkWords(args, {}, {"-o", "--site"}, 1, kUsage)) return *status;
    const auto out = args.option("-o");
    if (!out || out->empty()) {
        std::fprintf(stderr, "usage: corvanta-cli %s\n", kUsage.c_str());
        return ExitUsage;
    }
    const auto image = readImageInput(args.positional[0]);
    if (!image) return ExitUsage;
    if (auto status = checkOutput(*out)) return *status;
    const auto app = guiApp();
    const ReportHeader header{kSettingsReportTitle, QString::fromStdString(args.option("--site").value_or("")),
                              QDateTime::currentDateTime()};
    const auto body = settingsReportDocument(report::settingsReport(*image));
    const QByteArray pdf = reportPdf(header, *body);
    if (pdf.isEmpty()) {
        std::fprintf(stderr, "corvanta-cli: %s: the PDF could not be made\n", out->c_str());
        return ExitFailed;
    }
    // The report shows no code.
    return writeOutput(*out, pdf, FileAccess::Shared);
}

}  // namespace

std::vector<Command> reportCommands() {
    return {{"report", kUsage + "  the settings report of a parameter file, as PDF", runReport,
             "The configuration page by page of the editor, with its captions and values; codes are\n"
             "shown as \u2022\u2022\u2022\u2022. NAME goes into the page header beside the date.\n"}};
}

}  // namespace corvanta::cli
