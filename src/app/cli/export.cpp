// corvanta-cli export: the settings listing of a parameter file, as the
// transfer window's export shows it, made without any window.
#include <cstdio>
#include <cstdlib>

#include "app/cli/commands.h"
#include "app/cli/files.h"
#include "transfer/settings_listing.h"

namespace corvanta::cli {
namespace {

int runExport(const Args& args) {
    if (args.positional.size() != 1) {
        std::fprintf(stderr, "corvanta-cli: usage: export IMAGE\n");
        return ExitUsage;
    }
    const auto image = readImageInput(args.positional[0]);
    if (!image) return ExitUsage;
    const std::string text = listing::settingsListingText(*image);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
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
