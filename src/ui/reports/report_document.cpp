#include "ui/reports/report_document.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>

namespace corvanta {

namespace {

// Documents are laid out at this resolution whatever they are painted on,
// so rules, padding and line breaks come out the same on paper and in PDF.
constexpr int kLayoutDpi = 300;
constexpr double kMarginMm = 15;

double pt(double points) { return points * kLayoutDpi / 72.0; }

QPaintDevice* layoutDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(kLayoutDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

QFont reportFont(double points, bool bold = false) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

std::unique_ptr<QTextDocument> newDocument(const QFont& font) {
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(layoutDevice());
    document->setDefaultFont(font);
    document->setDocumentMargin(0);
    return document;
}

struct HeaderFonts {
    QFont title = reportFont(11, true);
    QFont text = reportFont(8.5);
};

double headerHeight(const HeaderFonts& fonts) {
    const QFontMetricsF title(fonts.title, layoutDevice());
    const QFontMetricsF text(fonts.text, layoutDevice());
    return title.lineSpacing() + text.lineSpacing() + pt(10);
}

void paintHeader(QPainter& painter, const ReportHeader& header, int page, int pages, double width,
                 const HeaderFonts& fonts) {
    const double titleLine = QFontMetricsF(fonts.title, layoutDevice()).lineSpacing();
    const double textLine = QFontMetricsF(fonts.text, layoutDevice()).lineSpacing();
    painter.setPen(Qt::black);
    painter.setFont(fonts.title);
    painter.drawText(QRectF(0, 0, width, titleLine), Qt::AlignLeft | Qt::AlignBottom, header.title);
    painter.setFont(fonts.text);
    painter.drawText(QRectF(0, 0, width, titleLine), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("Készült: ") + header.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    const QRectF second(0, titleLine, width, textLine);
    painter.drawText(second, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Telephely: ") + (header.site.isEmpty() ? QStringLiteral("-") : header.site));
    painter.drawText(second, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Oldal: %1 / %2").arg(page).arg(pages));
    painter.setPen(QPen(Qt::black, pt(0.6)));
    const double ruleY = titleLine + textLine + pt(3);
    painter.drawLine(QPointF(0, ruleY), QPointF(width, ruleY));
}

}  // namespace

QPageLayout reportPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

std::unique_ptr<QTextDocument> listingDocument(const QStringList& lines) {
    // 9 points, or smaller down to 6 so that the longest line (the rows of
    // a panel array run past 80 columns) keeps its columns on one line.
    constexpr double kLargest = 9, kSmallest = 6;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(kLargest);
    qsizetype longest = 1;
    for (const QString& line : lines) longest = std::max(longest, line.size());
    const double lineWidth = QFontMetricsF(fixed, layoutDevice()).horizontalAdvance(QString(longest, u'M'));
    const double pageWidth = pt(reportPageLayout().paintRect(QPageLayout::Point).width());
    if (lineWidth > pageWidth) fixed.setPointSizeF(std::max(kSmallest, kLargest * pageWidth / lineWidth * 0.98));
    auto document = newDocument(fixed);
    QTextOption option = document->defaultTextOption();
    // A line longer than the page goes on below rather than off the edge.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document->setDefaultTextOption(option);
    document->setPlainText(lines.join(u'\n'));
    return document;
}

std::unique_ptr<QTextDocument> tableDocument(const QStringList& titles, const QList<QStringList>& rows) {
    auto document = newDocument(reportFont(8));
    QTextTableFormat format;
    format.setBorder(documentLength(0.75));  // thinner rules are not drawn
    format.setBorderBrush(Qt::black);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(documentLength(2));
    format.setHeaderRowCount(1);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextCursor cursor(document.get());
    // One edit block: the table is laid out once, not after every cell.
    cursor.beginEditBlock();
    const int columns = int(titles.size());
    QTextTable* table = cursor.insertTable(int(rows.size()) + 1, std::max(columns, 1), format);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int c = 0; c < columns; ++c) table->cellAt(0, c).firstCursorPosition().insertText(titles[c], bold);
    for (int r = 0; r < int(rows.size()); ++r) {
        const QStringList& row = rows[r];
        for (int c = 0; c < std::min(columns, int(row.size())); ++c)
            table->cellAt(r + 1, c).firstCursorPosition().insertText(row[c]);
    }
    cursor.endEditBlock();
    return document;
}

int paintReport(QPagedPaintDevice& device, const ReportHeader& header, QTextDocument& body) {
    const HeaderFonts fonts;
    const QRectF paintRect = device.pageLayout().paintRect(QPageLayout::Point);
    const double width = pt(paintRect.width());
    const double top = headerHeight(fonts);
    const double bodyHeight = pt(paintRect.height()) - top;
    body.documentLayout()->setPaintDevice(layoutDevice());
    body.setPageSize(QSizeF(width, bodyHeight));
    const int pages = body.pageCount();

    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const double scale = double(device.logicalDpiX()) / kLayoutDpi;
    painter.scale(scale, scale);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) return 0;
        paintHeader(painter, header, page + 1, pages, width, fonts);
        painter.save();
        painter.translate(0, top - page * bodyHeight);
        body.drawContents(&painter, QRectF(0, page * bodyHeight, width, bodyHeight));
        painter.restore();
    }
    return painter.end() ? pages : 0;
}

QByteArray reportPdf(const ReportHeader& header, QTextDocument& body) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kLayoutDpi);
    writer.setPageLayout(reportPageLayout());
    writer.setTitle(header.title);
    writer.setCreator(QStringLiteral("GSM-Corvanta"));
    if (paintReport(writer, header, body) == 0) return {};
    return buffer.data();
}

}  // namespace corvanta
