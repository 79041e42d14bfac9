#include "ui/editor/change_list.h"

namespace corvanta {

QStringList codeWarnings(const WriteReview& review) {
  QStringList out;
  if (const std::string users = codeOverwriteWarning(review); !users.empty())
    out << QStringLiteral("Figyelem: ") + QString::fromStdString(users) +
               QStringLiteral(" – a kezelőn megváltoztatott kód ezután nem működik.");
  if (review.installerCodeChanges)
    out << QStringLiteral("Figyelem: ") + QString::fromUtf8(kInstallerCodeWarning) +
               QStringLiteral(" – a modul ezután az új kóddal fogadja a belépést.");
  return out;
}

QStringList changeLines(const WriteReview& review) {
  QStringList out;
  for (const FieldChange& c : review.changes.changes) out << QString::fromStdString(reviewLine(c));
  if (review.changes.otherBytes > 0) out << QString::fromStdString(otherBytesReviewLine(review.changes.otherBytes));
  return out;
}

QString fieldCountLine(const WriteReview& review) {
  return QStringLiteral("Összesen %1 mező.").arg(review.fieldCount());
}

QString changeListText(const WriteReview& review) {
  QStringList paragraphs;
  if (const QStringList w = codeWarnings(review); !w.isEmpty()) paragraphs << w.join(u'\n');
  paragraphs << changeLines(review).join(u'\n') << fieldCountLine(review);
  return paragraphs.join(QStringLiteral("\n\n"));
}

}  // namespace corvanta
