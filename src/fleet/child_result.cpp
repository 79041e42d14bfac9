#include "fleet/child_result.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

#include "link/whole_file.h"

namespace corvanta::fleet {

namespace {
// A result is a few hundred bytes; anything much larger is not one.
constexpr qint64 kMaxResultBytes = 64 * 1024;
}  // namespace

bool writeChildResult(const QString& path, const ChildResult& r, QString& error) {
    QJsonObject o{{"ok", r.ok},
                  {"detail", r.detail},
                  {"stored", r.stored},
                  {"bookUnavailable", r.bookUnavailable},
                  {"moduleVersion", r.moduleVersion},
                  {"dataVersion", r.dataVersion}};
    if (r.snapshotId) o.insert("snapshot", *r.snapshotId);
    // The run's folder is the owner's already; the result is too, should
    // it be copied out.
    if (const auto failure = writeWholeFile(path, QJsonDocument(o).toJson(QJsonDocument::Compact), FileAccess::OwnerOnly)) {
        error = failure->describe();
        return false;
    }
    return true;
}

std::optional<ChildResult> readChildResult(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.read(kMaxResultBytes + 1);
    if (bytes.size() > kMaxResultBytes) return std::nullopt;
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    const QJsonObject o = doc.object();
    if (!o.value("ok").isBool()) return std::nullopt;
    ChildResult r;
    r.ok = o.value("ok").toBool();
    r.detail = o.value("detail").toString();
    r.stored = o.value("stored").toBool();
    r.bookUnavailable = o.value("bookUnavailable").toBool();
    r.moduleVersion = o.value("moduleVersion").toString();
    r.dataVersion = o.value("dataVersion").toInt(-1);
    if (o.value("snapshot").isDouble()) r.snapshotId = o.value("snapshot").toInteger();
    return r;
}

void leaveChildResult(const ChildResult& result) {
    const QString path = qEnvironmentVariable(kResultVariable);
    if (path.isEmpty()) return;
    QString error;
    if (!writeChildResult(path, result, error))
        std::fprintf(stderr, "corvanta-cli: no result for the fleet: %s\n", error.toUtf8().constData());
}

std::optional<qint64> batchFromEnvironment() {
    bool ok = false;
    const qint64 id = qEnvironmentVariable(kBatchVariable).toLongLong(&ok);
    return ok && id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

}  // namespace corvanta::fleet
