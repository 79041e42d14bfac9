#include "ui/editor/on_off_mode_window.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "ui/widgets/radio_group.h"

namespace corvanta {

namespace {

const QStringList kModes{
    QStringLiteral("0 - Csak a kezelőn keresztül"),
    QStringLiteral("1 - Kapcsolóval:                                                                Folyamatos 1k = "
                   "Élesített ,                   Folyamatos 2k = Kikapcsolt,      (egyéb = szabotázs)"),
    QStringLiteral("2 - Kétféle impulzussal:     Folyamatos 2k = alaphelyzet,    Rövidzár impulzus = Élesítés,  "
                   "            1k Impulzus = Kikapcsolás        (szakadás = szabotázs)"),
    QStringLiteral("3 - Egyféle impulzussal:    Folyamatos 2k = alaphelyzet,    1k impulzus = "
                   "Élesítés/Kikapcsolás,                                                      (egyéb = "
                   "szabotázs)")};

// The texts use runs of blanks to push each clause onto a line of its own in
// a window of fixed width; shown as separate lines they read the same in
// any font.
QString asLines(const QString& text) {
  static const QRegularExpression run(QStringLiteral("\\s{3,}"));
  return text.split(run, Qt::SkipEmptyParts).join(QStringLiteral("\n"));
}

}  // namespace

OnOffModeWindow::OnOffModeWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("FormOnOffMode");
  setWindowTitle(QStringLiteral("Élesítés / Kikapcsolás módja az A és B bemeneteken"));
  group_ = new RadioGroup(QStringLiteral("Élesítés / Kikapcsolás"), kModes, 1, this);
  group_->setObjectName("rgOnOffMode");
  for (int i = 0; i < kModes.size(); ++i) group_->setDisplayText(i, asLines(kModes[i]));
  auto* close = new QPushButton(QStringLiteral("Bezárás"), this);
  close->setObjectName("btClose");
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* l = new QVBoxLayout(this);
  l->addWidget(group_);
  l->addWidget(close, 0, Qt::AlignHCenter);
  setMinimumWidth(560);
}

void OnOffModeWindow::present(int mode) { group_->setItemIndex(mode); }

int OnOffModeWindow::selectedMode() const { return group_->itemIndex(); }

int OnOffModeWindow::choose(int mode) {
  present(mode);
  if (exec() != QDialog::Accepted || selectedMode() < 0) return mode;
  return selectedMode();
}

}  // namespace corvanta
