#include "app/cli/json_array.h"

#include <QJsonDocument>

#include <cstdio>

namespace corvanta::cli {

bool JsonArrayPrinter::write(const QByteArray& bytes) {
    if (ok_) ok_ = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
    return ok_;
}

bool JsonArrayPrinter::add(const QJsonObject& element) {
    // An element of an indented array stands four spaces further in than
    // the same object on its own.
    const QByteArray alone = QJsonDocument(element).toJson(QJsonDocument::Indented);
    QByteArray text;
    text.reserve(alone.size() + alone.count('\n') * 4 + 4);
    text += first_ ? "[\n" : ",\n";
    first_ = false;
    for (qsizetype start = 0; start < alone.size();) {
        qsizetype end = alone.indexOf('\n', start);
        if (end < 0) end = alone.size();
        text += "    ";
        text += QByteArrayView(alone).sliced(start, end - start);
        start = end + 1;
        if (start < alone.size()) text += '\n';
    }
    return write(text);
}

bool JsonArrayPrinter::finish() {
    write(first_ ? QByteArray("[\n]\n") : QByteArray("\n]\n"));
    return std::fflush(stdout) == 0 && ok_;
}

}  // namespace corvanta::cli
