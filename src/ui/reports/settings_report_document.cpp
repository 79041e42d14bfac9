#include "ui/reports/settings_report_document.h"

#include "ui/reports/report_document.h"

#include <QFontDatabase>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>

namespace corvanta {

namespace {

using report::Page;
using report::Section;

const QColor kRowShade(228, 228, 228);
// Settings side by side at most, so that A4 keeps them legible; a row of
// more (a zone has twelve) goes on in a second grid below.
constexpr std::size_t kGridSettings = 6;

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::vector<std::string> captionsOf(const Section& s) {
    std::vector<std::string> captions;
    for (const report::Row& r : s.rows) captions.push_back(r.caption);
    return captions;
}

// Sections [first, last) of a page: a grid when they are rows of the editor
// that hold the same settings (the twelve zones), read best side by side,
// one line each; otherwise one setting a line.
struct Block {
    std::size_t first;
    std::size_t last;
    bool grid;
};

std::vector<Block> blocksOf(const Page& page) {
    std::vector<Block> blocks;
    const auto& sections = page.sections;
    for (std::size_t i = 0; i < sections.size();) {
        std::size_t end = i + 1;
        if (!sections[i].title.empty()) {
            while (end < sections.size() && !sections[end].title.empty() &&
                   captionsOf(sections[end]) == captionsOf(sections[i]))
                ++end;
        }
        blocks.push_back({i, end, end - i > 1});
        i = end;
    }
    return blocks;
}

QTextTableFormat tableFormat(const QList<QTextLength>& widths) {
    QTextTableFormat format;
    format.setBorder(documentLength(0.75));
    format.setBorderBrush(Qt::black);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(documentLength(2));
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setColumnWidthConstraints(widths);
    return format;
}

// A little room between the tables of one page.
QTextBlockFormat gapFormat() {
    QTextBlockFormat gap;
    gap.setTopMargin(documentLength(4));
    return gap;
}

QTextLength percent(double p) { return QTextLength(QTextLength::PercentageLength, p); }

void put(QTextTable* table, int row, int column, const QString& text, const QTextCharFormat& format) {
    table->cellAt(row, column).firstCursorPosition().insertText(text, format);
}

void shade(QTextTable* table, int row, int columns) {
    QTextTableCellFormat shaded;
    shaded.setBackground(kRowShade);
    for (int c = 0; c < columns; ++c) table->cellAt(row, c).setFormat(shaded);
}

void insertList(QTextCursor& cursor, const Page& page, const Block& b) {
    int rows = 0;
    for (std::size_t s = b.first; s < b.last; ++s)
        rows += int(page.sections[s].rows.size()) + (page.sections[s].title.empty() ? 0 : 1);
    QTextTable* table = cursor.insertTable(std::max(rows, 1), 2, tableFormat({percent(45), percent(55)}));
    QTextCharFormat plain, bold;
    bold.setFontWeight(QFont::Bold);
    int row = 0;
    for (std::size_t s = b.first; s < b.last; ++s) {
        const Section& section = page.sections[s];
        if (!section.title.empty()) {
            table->mergeCells(row, 0, 1, 2);
            shade(table, row, 1);
            put(table, row++, 0, qs(section.title), bold);
        }
        for (const report::Row& r : section.rows) {
            put(table, row, 0, qs(r.caption), plain);
            put(table, row++, 1, qs(r.value), plain);
        }
    }
}

// Settings [from, to) of the rows of a grid block.
void insertGrid(QTextCursor& cursor, const Page& page, const Block& b, std::size_t from, std::size_t to) {
    const std::vector<std::string> all = captionsOf(page.sections[b.first]);
    const std::vector<std::string> captions(all.begin() + std::ptrdiff_t(from), all.begin() + std::ptrdiff_t(to));
    const int columns = int(captions.size()) + 1;
    auto value = [&](std::size_t s, int c) { return page.sections[s].rows[from + std::size_t(c - 1)].value; };
    // Each column as wide as its words want, more or less: a list of
    // choices needs more room than a number of seconds, and no heading
    // should break inside a word. In characters: the longest word, or a
    // short text whole; the row titles ("12. Zóna") always whole. Two more
    // for the padding.
    std::vector<double> weights(std::size_t(columns), 0);
    auto want = [&](int c, const std::string& text) {
        const QString t = qs(text);
        double longestWord = 0;
        for (const QString& word : t.split(u' ', Qt::SkipEmptyParts)) longestWord = std::max(longestWord, double(word.size()));
        const double whole = c == 0 ? double(t.size()) : std::min(double(t.size()), 14.0);
        weights[std::size_t(c)] = std::max({weights[std::size_t(c)], longestWord, whole});
    };
    for (int c = 1; c < columns; ++c) want(c, captions[std::size_t(c - 1)]);
    for (std::size_t s = b.first; s < b.last; ++s) {
        want(0, page.sections[s].title);
        for (int c = 1; c < columns; ++c) want(c, value(s, c));
    }
    double total = 0;
    for (double& w : weights) total += (w = std::max(w, 4.0) + 2);
    QList<QTextLength> widths;
    for (double w : weights) widths << percent(100 * w / total);
    QTextTableFormat format = tableFormat(widths);
    format.setHeaderRowCount(1);  // repeated on every sheet the grid runs over
    QTextTable* table = cursor.insertTable(int(b.last - b.first) + 1, columns, format);
    QTextCharFormat plain, bold;
    bold.setFontWeight(QFont::Bold);
    shade(table, 0, columns);
    for (int c = 1; c < columns; ++c) put(table, 0, c, qs(captions[std::size_t(c - 1)]), bold);
    for (std::size_t s = b.first; s < b.last; ++s) {
        const int row = int(s - b.first) + 1;
        put(table, row, 0, qs(page.sections[s].title), bold);
        for (int c = 1; c < columns; ++c) put(table, row, c, qs(value(s, c)), plain);
    }
}

}  // namespace

std::unique_ptr<QTextDocument> settingsReportDocument(const std::vector<report::Page>& pages) {
    auto document = std::make_unique<QTextDocument>();
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8.5);
    document->setDefaultFont(font);
    document->setDocumentMargin(0);

    QTextCharFormat heading;
    heading.setFontPointSize(12);
    heading.setFontWeight(QFont::Bold);

    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    bool first = true;
    for (const Page& page : pages) {
        QTextBlockFormat title;
        // Each page of the editor on sheets of its own.
        if (!first) title.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        title.setBottomMargin(documentLength(4));
        if (first)
            cursor.setBlockFormat(title);
        else
            cursor.insertBlock(title);
        first = false;
        cursor.insertText(qs(page.title), heading);
        bool firstBlock = true;
        for (const Block& b : blocksOf(page)) {
            if (!firstBlock) cursor.insertBlock(gapFormat(), QTextCharFormat());
            firstBlock = false;
            if (!b.grid) {
                insertList(cursor, page, b);
                cursor.movePosition(QTextCursor::End);
                continue;
            }
            const std::size_t settings = page.sections[b.first].rows.size();
            const std::size_t parts = (settings + kGridSettings - 1) / kGridSettings;
            for (std::size_t part = 0; part < parts; ++part) {
                if (part > 0) cursor.insertBlock(gapFormat(), QTextCharFormat());
                // Shared out evenly: seven settings as four and three.
                insertGrid(cursor, page, b, settings * part / parts, settings * (part + 1) / parts);
                cursor.movePosition(QTextCursor::End);
            }
        }
    }
    cursor.endEditBlock();
    return document;
}

}  // namespace corvanta
