#pragma once
// The header every printed or saved page carries: what the report is, the
// site it belongs to and when it was made.

#include <QDateTime>
#include <QString>

#include <functional>

namespace corvanta {

struct ReportHeader {
    QString title;
    QString site;  // empty: not known
    QDateTime made;
};

// The one place the site of every report comes from: whoever knows the
// current site (the main window) sets the source once; until then reports
// carry no site.
void setReportSiteSource(std::function<QString()> source);

// The title with the current site and the time now.
ReportHeader reportHeader(const QString& title);

}  // namespace corvanta
