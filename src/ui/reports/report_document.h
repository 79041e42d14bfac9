#pragma once
// Reports as real pages: the body is a text document (a fixed-pitch listing
// or a table), laid out on A4 within margins under a header that every page
// repeats, for the printer and for PDF files alike.

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QStringList>

#include <memory>

#include "ui/reports/report_header.h"

class QPagedPaintDevice;
class QTextDocument;

namespace corvanta {

// Borders, padding and margins of a text document are lengths at 96 dots
// per inch, which its layout scales to the device itself: `points` as such.
inline double documentLength(double points) { return points * 96 / 72.0; }

// A4 portrait, 15 mm margins all round.
QPageLayout reportPageLayout();

// Lines as they stand, in a fixed-pitch font; an 80-column line fits the
// width of the page.
std::unique_ptr<QTextDocument> listingDocument(const QStringList& lines);

// A ruled table whose title row repeats at the top of every page.
std::unique_ptr<QTextDocument> tableDocument(const QStringList& titles, const QList<QStringList>& rows);

// Lays the body out on the device's pages and paints them, each under the
// header with its page number. The device must not be painted on yet; it
// keeps the page size and margins it was given. Returns the number of
// pages, 0 when the device could not be painted on.
int paintReport(QPagedPaintDevice& device, const ReportHeader& header, QTextDocument& body);

// The whole report as the bytes of a PDF file on A4 pages; empty when it
// could not be made.
QByteArray reportPdf(const ReportHeader& header, QTextDocument& body);

}  // namespace corvanta
