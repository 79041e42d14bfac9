// corvanta-cli export: the settings listing of a parameter file, as the
// transfer window's export shows it, without a screen.
#include <QApplication>
#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "app/cli_commands.h"
#include "app/cli_files.h"
#include "ui/editor/parameter_editor.h"
#include "ui/editor/settings_export.h"

namespace corvanta::cli {
namespace {

int runExport(const Args& args) {
    if (args.positional.size() != 1) {
        std::fprintf(stderr, "corvanta-cli: usage: export IMAGE\n");
        return ExitUsage;
    }
    const auto image = readImageInput(args.positional[0]);
    if (!image) return ExitUsage;
    // The listing walks the editor's controls, which need a widget
    // application but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "corvanta-cli";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    ParameterEditor editor;
    const QByteArray text = (exportEditorSettings(editor, *image).join(u'\n') + u'\n').toUtf8();
    if (std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) != std::size_t(text.size()) ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "corvanta-cli: cannot write the output\n");
        return ExitFailed;
    }
    return ExitOk;
}

}  // namespace

std::vector<Command> exportCommands() {
    return {{"export", "export IMAGE                      print the settings listing of a parameter file", runExport}};
}

}  // namespace corvanta::cli
