#include "app/cli/write_review.h"

#include <cstdio>

#include <QJsonArray>
#include <QJsonObject>

#include "app/cli/files.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "params/code_fields.h"
#include "params/write_review.h"
#include "sitebook/site_book.h"
#include "sitebook/site_records.h"
#include "transfer/parameter_transfer.h"

namespace corvanta::cli {

namespace {

// The read shows nothing of its own; the module's texts go to the chatter.
class QuietView : public TransferView {
public:
    void paintBlock(int, BlockColour) override {}
    void setOperationRunning(bool) override {}
    void showRecordNote(const QString&) override {}
};

QString q(const std::string& s) { return QString::fromStdString(s); }

std::vector<QString> warnings(const WriteReview& review) {
    std::vector<QString> out;
    if (const std::string users = codeOverwriteWarning(review); !users.empty()) out.push_back(q(users));
    if (review.installerCodeChanges) out.push_back(QString::fromUtf8(kInstallerCodeWarning));
    return out;
}

void printLines(const WriteReview& review) {
    for (const QString& w : warnings(review)) printText(QString::fromUtf8("Figyelem: ") + w + u'\n');
    for (const auto& row : sitebook::changeRows(review.changes)) printText(sitebook::changeLine(row) + u'\n');
}

QJsonObject reviewJson(const WriteReview& review, const QString& against) {
    QJsonArray changes;
    for (const auto& row : sitebook::changeRows(review.changes))
        changes.append(QJsonObject{{"path", row.path}, {"caption", row.caption}, {"before", row.before}, {"after", row.after}});
    QJsonArray users;
    for (int u : review.userCodesOverwritten) users.append(u);
    QJsonArray texts;
    for (const QString& w : warnings(review)) texts.append(w);
    return {{"against", against},
            {"count", review.fieldCount()},
            {"changes", changes},
            {"otherBytes", review.changes.otherBytes},
            {"userCodesOverwritten", users},
            {"installerCodeChanges", review.installerCodeChanges},
            {"warnings", texts}};
}

}  // namespace

int runWriteDryRun(const Args& args, const std::string& file) {
    const auto image = readImageInput(file);
    if (!image) return ExitUsage;
    if (auto refusal = ParameterTransfer::writeRefusal(*image)) {
        std::fprintf(stderr, "corvanta-cli: %s: %s\n", file.c_str(), refusal->toUtf8().constData());
        return ExitUsage;
    }
    Session s;
    s.chatter = stderr;
    if (auto exit = openSession(args, s)) return *exit;
    ParameterImage module{};
    QuietView view;
    // Only read: nothing is recorded and nothing is sent to be written.
    ParameterTransfer transfer(*s.link, module, view);
    const bool read = transfer.read();
    say(stderr, QStringLiteral("Blokkok: ") + transfer.blockLetters());
    closeSession(s);
    if (!read) {
        std::fprintf(stderr, "corvanta-cli: the module could not be read; nothing to compare, nothing written\n");
        return ExitFailed;
    }
    const WriteReview review = reviewWrite(module, *image);
    if (args.flag("--json")) {
        printJson(reviewJson(review, QStringLiteral("module")));
    } else {
        printLines(review);
    }
    std::fprintf(stderr, "dry run: a write of %s would change %d field%s on the module; nothing was written\n",
                 file.c_str(), review.fieldCount(), review.fieldCount() == 1 ? "" : "s");
    return ExitOk;
}

void printSiteChanges(const Args& args, const std::string& file) {
    const auto name = args.option("--site");
    if (!name) return;
    const auto written = readImageInput(file);
    if (!written) return;
    ensureCoreApp();
    sitebook::SiteBook book;
    const auto site = book.open(sitebook::SiteBook::defaultPath())
                          ? book.findSite(QString::fromStdString(*name).trimmed())
                          : std::nullopt;
    if (!site) return;  // the write's own line said why nothing was kept
    // The newest write of this site that left this very image.
    for (const sitebook::WriteRecord& w : book.audit(site->id)) {
        if (!w.ok || !w.afterSnapshot) continue;
        const auto after = book.snapshot(*w.afterSnapshot);
        if (!after || after->image != *written) continue;
        say(w.beforeSnapshot ? QStringLiteral("Changed against snapshot @%1: %2 field%3")
                                   .arg(*w.beforeSnapshot)
                                   .arg(w.changes.size())
                                   .arg(w.changes.size() == 1 ? "" : "s")
                             : QStringLiteral("The site had no snapshot before: every field is new to the book"));
        for (sitebook::WriteChange c : w.changes) {
            if (codes::isCodePath(c.path.toStdString())) {
                c.before = q(codes::shownCode(c.before.toStdString(), false));
                c.after = q(codes::shownCode(c.after.toStdString(), false));
            }
            say(sitebook::changeLine(c));
        }
        return;
    }
}

}  // namespace corvanta::cli
