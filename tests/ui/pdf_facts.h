#pragma once
// What a test checks of a PDF file without a PDF library: how many pages it
// has and the size of the first, in points, from the page objects.

#include <QByteArray>
#include <QRegularExpression>
#include <QSize>

namespace corvanta {

struct PdfFacts {
    int pages = 0;
    QSize pageSize;
};

inline PdfFacts pdfFacts(const QByteArray& pdf) {
    PdfFacts facts;
    if (!pdf.startsWith("%PDF-")) return facts;
    const QString text = QString::fromLatin1(pdf);
    facts.pages = int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
    const auto box = QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)\\s*\\]"))
                         .match(text);
    if (box.hasMatch()) facts.pageSize = QSize(qRound(box.captured(1).toDouble()), qRound(box.captured(2).toDouble()));
    return facts;
}

}  // namespace corvanta
