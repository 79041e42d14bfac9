#include "ui/reports/report_header.h"

namespace corvanta {

namespace {
std::function<QString()>& siteSource() {
    static std::function<QString()> source;
    return source;
}
}  // namespace

void setReportSiteSource(std::function<QString()> source) { siteSource() = std::move(source); }

ReportHeader reportHeader(const QString& title) {
    const auto& source = siteSource();
    return ReportHeader{title, source ? source().trimmed() : QString(), QDateTime::currentDateTime()};
}

}  // namespace corvanta
