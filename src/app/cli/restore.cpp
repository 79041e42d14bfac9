// corvanta-cli restore: a snapshot of the site book put back on a module,
// the way the site book window's "Visszaállítás a modulra" does it
// (fleet/snapshot_restore.h): the module is read, the fields in which it
// differs are listed and, once confirmed, the snapshot is written, read back
// and recorded in the audit with the snapshot it restored.

#include <cstdio>
#include <iostream>

#include <unistd.h>

#include "app/cli/commands.h"
#include "app/cli/kept_secrets.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "fleet/snapshot_restore.h"
#include "params/code_fields.h"

namespace corvanta::cli {
namespace {

const std::string& restoreUsage() {
    static const std::string usage = "restore @ID [--yes] [--to-other-site]" + linkUsage();
    return usage;
}

// The site book's lines and the outcome of the check as they come.
class PrintingView : public TransferView {
public:
    void paintBlock(int, BlockColour) override {}
    void setOperationRunning(bool) override {}
    void showRecordNote(const QString& note) override { say(note); }
    void showOutcome(const QString& text) override {
        if (!text.isEmpty()) say(text);
    }
};

std::optional<qint64> snapshotNumber(const std::string& word) {
    const QString text = QString::fromStdString(word.rfind('@', 0) == 0 ? word.substr(1) : word);
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok && id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

// A code's value stays off the screen, as the windows keep it.
QString changeLineShown(const sitebook::WriteChange& c) {
    if (!codes::isCodePath(c.path.toStdString())) return sitebook::changeLine(c);
    sitebook::WriteChange hidden = c;
    hidden.before = QString::fromStdString(codes::shownCode(c.before.toStdString(), false));
    hidden.after = QString::fromStdString(codes::shownCode(c.after.toStdString(), false));
    return sitebook::changeLine(hidden);
}

QString failedStep(const ParameterTransfer::Failure& f) {
    using Step = ParameterTransfer::Failure::Step;
    switch (f.step) {
    case Step::Login: return QStringLiteral("the module refused the login or did not answer");
    case Step::DataVersion: return QStringLiteral("the module's data version is not this program's");
    case Step::Read: return QStringLiteral("block %1 could not be read").arg(f.block + 1);
    case Step::Write: return QStringLiteral("block %1 was not written; nothing was committed").arg(f.block + 1);
    case Step::Commit: return QStringLiteral("the module did not confirm the write (no CRCOK)");
    case Step::Verify: return QStringLiteral("the module, read back, does not hold the snapshot");
    case Step::Stopped: return QStringLiteral("stopped");
    default: return {};
    }
}

int runRestore(const Args& args) {
    if (auto status = checkUsage(args, {"--yes", "--to-other-site"}, 1, restoreUsage())) return *status;
    const auto id = snapshotNumber(args.positional[0]);
    if (!id) return fail(ExitUsage, QString::fromStdString(args.positional[0]) + QStringLiteral(": expected @ and a snapshot number"));
    const bool yes = args.flag("--yes");
    if (!yes && ::isatty(STDIN_FILENO) != 1)
        return fail(ExitUsage, QStringLiteral("restore asks before it writes: give --yes where nobody answers at a terminal"));

    Session s;
    // Its module is the snapshot's site's unless --site names another.
    if (!args.option("--site")) s.keptSite = snapshotSite(*id);
    if (auto exit = openSession(args, s)) return *exit;
    PrintingView view;
    fleet::SnapshotRestore restore(*s.link, view);
    if (const auto name = args.option("--site")) {
        sitebook::Site site;
        site.name = QString::fromStdString(*name).trimmed();
        site.serialPort = QString::fromStdString(args.option("--port").value_or(""));
        site.tcpHost = QString::fromStdString(args.option("--host").value_or(""));
        if (auto p = args.option("--tcp-port")) site.tcpPort = QString::fromStdString(*p).toInt();
        restore.setTarget(site);
    }
    restore.allowOtherSite(args.flag("--to-other-site"));
    const auto confirm = [yes](const sitebook::Snapshot& snapshot, const std::vector<sitebook::WriteChange>& rows) {
        say(QStringLiteral("The module differs from @%1 (%2, %3) in %4 field(s):")
                .arg(QString::number(snapshot.info.id), snapshot.info.site, sitebook::isoTime(snapshot.info.takenAt),
                     QString::number(rows.size())));
        for (const auto& row : rows) say(QStringLiteral("    ") + changeLineShown(row));
        if (yes) return true;
        std::fprintf(stderr, "Write @%lld onto the module? [y/N] ", static_cast<long long>(snapshot.info.id));
        std::fflush(stderr);
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "i" || answer == "I" || answer == "yes" || answer == "igen";
    };
    const auto result = restore.run(*id, confirm);
    closeSession(s);
    using Result = fleet::SnapshotRestore::Result;
    switch (result) {
    case Result::Restored:
        say(QStringLiteral("@%1 is on the module, read back and found as written.").arg(*id));
        return ExitOk;
    case Result::AlreadyHeld:
        say(QStringLiteral("The module holds @%1 already: nothing written.").arg(*id));
        return ExitOk;
    case Result::Declined: say(QStringLiteral("Nothing written.")); return ExitFailed;
    case Result::OtherSite:
        return fail(ExitUsage, restore.why() + QStringLiteral(": --to-other-site puts it onto this module (a "
                                                              "replacement), and the audit says so"));
    case Result::Refused: return fail(ExitUsage, restore.why());
    case Result::Failed: {
        const QString step = failedStep(restore.failure());
        return fail(ExitFailed, QStringLiteral("the restore of @%1 failed").arg(*id) +
                                    (step.isEmpty() ? QString() : QStringLiteral(": ") + step));
    }
    }
    return ExitFailed;
}

}  // namespace

std::vector<Command> restoreCommands() {
    return {
        {"restore", restoreUsage() + "\n                                    put a snapshot back on the module",
         runRestore,
         "  Reads the module, lists the fields in which it differs from snapshot @ID\n"
         "  and asks; then writes the snapshot, reads the module back to check it\n"
         "  and records the write in the site book's audit with the snapshot it\n"
         "  restored. The module is taken for the snapshot's own site unless --site\n"
         "  names another.\n"
         "  --yes            write without asking (for scripts)\n"
         "  --to-other-site  allow a snapshot of another site (a replacement module);\n"
         "                   the audit says whose snapshot it was\n"},
    };
}

}  // namespace corvanta::cli
