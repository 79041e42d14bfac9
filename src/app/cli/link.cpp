// Module operations of corvanta-cli: version, read, write, compare and alarm
// stop over a serial line (or a pseudo-terminal) or the TCP/IP link. Each
// prints the messages and status lines the program would show.

#include <cstdio>

#include "app/cli/commands.h"
#include "app/cli/files.h"
#include "app/cli/session.h"
#include "app/cli/write_review.h"
#include "fleet/child_result.h"
#include "link/link_texts.h"
#include "sitebook/site_records.h"
#include "transfer/parameter_transfer.h"

namespace corvanta::cli {

namespace {

// The indicators are printed once the operation is over; the site book's
// line as it comes.
class PrintingView : public TransferView {
public:
    void paintBlock(int, BlockColour) override {}
    void setOperationRunning(bool) override {}
    void showRecordNote(const QString& note) override {
        lastNote = note;
        say(note);
    }
    void showOutcome(const QString& text) override {
        if (!text.isEmpty()) say(text);
    }
    QString lastNote;
};

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

// The block the operation stopped at, and why, in a sentence; nothing when
// it did not stop at a block (the login and version messages say it then).
std::string failureSentence(const ParameterTransfer::Failure& f) {
    using Step = ParameterTransfer::Failure::Step;
    using Why = ModuleLink::BlockFailure;
    char block[64] = "";
    std::snprintf(block, sizeof block, "block %d (address %04X)", f.block + 1, f.block);
    auto reason = [&](int seconds) -> std::string {
        switch (f.why) {
        case Why::Damaged: return "the reply was damaged (malformed or a wrong checksum)";
        case Why::WrongBlock: return "the module sent another block";
        case Why::WrongCode: return "the module refused the installer code";
        case Why::Refused: return "the module refused it (WRFLERR)";
        default: return "no answer within " + std::to_string(seconds) + " s";
        }
    };
    switch (f.step) {
    case Step::Read: return std::string(block) + " could not be read: " + reason(ModuleLink::kReadTicks / 10);
    case Step::Differs: return std::string(block) + " differs from the file";
    case Step::Write: return std::string(block) + " was not written: " + reason(ModuleLink::kWriteTicks / 10) +
                             "; nothing was committed";
    case Step::Commit: return "the module did not confirm the write (no CRCOK within " +
                              std::to_string(ModuleLink::kCommitTicks / 10) + " s)";
    case Step::Verify: {
        if (f.differing.empty())
            return "the write could not be checked: " + std::string(block) +
                   " could not be read back: " + reason(ModuleLink::kReadTicks / 10) +
                   "; what the module holds is not known";
        std::string blocks;
        for (int n : f.differing) blocks += (blocks.empty() ? "" : ", ") + std::to_string(n + 1);
        return "the module does not hold the image sent: block" + std::string(f.differing.size() > 1 ? "s " : " ") +
               blocks + " differ" + std::string(f.differing.size() > 1 ? "" : "s") + " after the commit";
    }
    default: return {};
    }
}

// read, compare and write share everything but the operation. Files are
// read and the output checked before the link opens, so a bad file costs
// no module traffic and a module read is never thrown away at the end.
int runTransfer(const Args& args, const std::string& fileIn, bool (ParameterTransfer::*op)(),
                const std::string& fileOut) {
    ParameterImage image{};
    if (!fileIn.empty()) {
        auto read = readImageInput(fileIn);
        if (!read) return ExitUsage;
        image = *read;
        if (op == &ParameterTransfer::write) {
            if (auto refusal = ParameterTransfer::writeRefusal(image)) {
                std::fprintf(stderr, "corvanta-cli: %s: %s\n", fileIn.c_str(), refusal->toUtf8().constData());
                return ExitUsage;
            }
        }
    }
    if (!fileOut.empty()) {
        if (auto status = checkOutput(fileOut)) return *status;
    }
    Session s;
    if (auto exit = openSession(args, s, fileOut.empty() ? std::set<std::string>{} : std::set<std::string>{"-o"}))
        return *exit;
    PrintingView view;
    ParameterTransfer transfer(*s.link, image, view);
    transfer.setRecorder(s.recorder.get());
    transfer.setVerify(!args.flag("--no-verify"));
    const bool ok = (transfer.*op)();
    say(QStringLiteral("Blokkok: ") + transfer.blockLetters());
    if (op == &ParameterTransfer::compare && args.flag("--fields")) {
        for (const auto& row : sitebook::changeRows(transfer.compareChanges())) say(sitebook::changeLine(row));
        for (const std::string& line : codes::codeDifferenceLines(transfer.compareCodes()))
            say(QString::fromStdString(line));
    }
    const std::string why = failureSentence(transfer.failure());
    if (!why.empty()) std::fprintf(stderr, "corvanta-cli: %s\n", why.c_str());
    closeSession(s);
    int status = ExitFailed;
    if (ok)
        status = fileOut.empty() ? int(ExitOk)
                                 : writeOutput(fileOut,
                                               QByteArray(reinterpret_cast<const char*>(image.data()),
                                                          qsizetype(image.size())),
                                               FileAccess::OwnerOnly);
    // For a fleet that runs this command: what happened, in a form made to
    // be read rather than the lines above.
    fleet::ChildResult result;
    result.ok = status == ExitOk;
    result.detail = !why.empty()                       ? QString::fromStdString(why)
                    : !transfer.outcome().isEmpty()    ? transfer.outcome()
                    : !s.messenger.last.isEmpty() && !ok ? s.messenger.last
                                                       : QString();
    if (s.recorder) {
        const auto& stored = s.recorder->lastStored();
        result.stored = stored.stored;
        result.snapshotId = stored.snapshotId;
        result.bookUnavailable = ok && !stored.stored;
        if (result.ok && result.detail.isEmpty())
            result.detail = stored.stored ? view.lastNote : QStringLiteral("the site book did not take it: ") + stored.why;
    }
    result.moduleVersion = s.link->moduleVersion();
    result.dataVersion = s.link->dataVersion();
    fleet::leaveChildResult(result);
    return status;
}

int needOneFile(const Args& args, const char* usage) {
    if (args.positional.size() == 1) return ExitOk;
    std::fprintf(stderr, "usage: corvanta-cli %s\n", usage);
    return ExitUsage;
}

}  // namespace

std::vector<Command> linkCommands() {
    const std::string& kLinkUsage = linkUsage();
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
        {"write", "write FILE [--no-verify] [--dry-run [--json]]" + kLinkUsage,
         [](const Args& args) {
             if (int e = needOneFile(args, "write FILE")) return e;
             if (args.flag("--dry-run")) return runWriteDryRun(args, args.positional[0]);
             if (args.flag("--json")) {
                 std::fprintf(stderr, "usage: corvanta-cli write FILE --dry-run --json\n");
                 return int(ExitUsage);
             }
             const int status = runTransfer(args, args.positional[0], &ParameterTransfer::write, {});
             if (status == ExitOk) printSiteChanges(args, args.positional[0]);
             return status;
         },
         "  --no-verify   do not read the module back after the commit; the write then\n"
         "                counts as done on the module's CRCOK alone, which a faulty line\n"
         "                can fake (for scripts that accept that risk)\n"
         "  --dry-run     read the module and print the fields a write of FILE would\n"
         "                change there (codes hidden), and the user codes it would\n"
         "                overwrite; nothing is written, exit status 0\n"
         "  --json        with --dry-run: the list as one JSON object\n"
         "  With --site the write prints the fields it changed against the site's\n"
         "  latest snapshot.\n"},
        {"compare", "compare FILE [--fields]" + kLinkUsage,
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
