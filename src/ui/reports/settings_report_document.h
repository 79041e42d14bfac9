#pragma once
// The settings report as a document for the page painter: one heading and
// one ruled table for each page of the editor, each on a new sheet; a row
// of the editor is a shaded line with its settings below it.

#include <QString>

#include <memory>
#include <vector>

#include "transfer/settings_report.h"

class QTextDocument;

namespace corvanta {

// What heads every sheet of it.
inline const QString kSettingsReportTitle = QStringLiteral("Beállítási jelentés");

std::unique_ptr<QTextDocument> settingsReportDocument(const std::vector<report::Page>& pages);

}  // namespace corvanta
