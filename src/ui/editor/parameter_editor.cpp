#include "ui/editor/parameter_editor.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "params/out_of_format.h"
#include "params/parameter_codec.h"
#include "ui/editor/editor_page.h"
#include "ui/editor/events_page.h"
#include "ui/editor/keypad_page.h"
#include "ui/editor/on_off_mode_window.h"
#include "ui/widgets/panel_array.h"
#include "ui/editor/relays_page.h"
#include "ui/editor/remotes_page.h"
#include "ui/editor/telephone_page.h"
#include "ui/editor/users_page.h"
#include "ui/editor/zones_page.h"

namespace corvanta {

ParameterEditor::ParameterEditor(QWidget* parent) : QDialog(parent), dialogs_(this) {
  setObjectName("FormParSetting");
  setWindowTitle(QStringLiteral("GSM-Corvanta   -   Paraméterek beállítása"));
  context_.messenger = &dialogs_;
  stopwatch_.start();
  clock_ = [this] { return stopwatch_.elapsed(); };

  modeWindow_ = new OnOffModeWindow(this);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  auto* telephone = new TelephonePage(context_);
  telephone->setModeChooser([this](int mode) { return modeWindow_->choose(mode); });
  pageList_ = {new ZonesPage(context_),  new UsersPage(context_),   new EventsPage(context_),
               new RelaysPage(context_), telephone,                 new RemotesPage(context_),
               new KeypadPage(context_)};
  const QString captions[kPageCount] = {"Zónák",
                                        "Felhasználók",
                                        "Események",
                                        "Relé kimenetek",
                                        "Telefonszámok && egyéb paraméterek",
                                        "Rádiós eszközök beállításai",
                                        "LCD-Kezelő"};
  for (int i = 0; i < kPageCount; ++i) {
    pages_->addTab(pageList_[i], captions[i]);
    if (PanelArray* a = pageList_[i]->panelArray()) a->setProgress([this](int p) { showProgress(p); });
  }
  pages_->setCurrentIndex(kFirstPage);
  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    pageLeave(activePage_);
    activePage_ = index;
    pageChange(index);
  });

  ok_ = new QPushButton(QStringLiteral("Beállítások Rögzítése"), this);
  ok_->setObjectName("btSettingOK");
  cancel_ = new QPushButton(QStringLiteral("Beállítások Visszavonása"), this);
  cancel_->setObjectName("btSettingCancel");
  connect(ok_, &QPushButton::clicked, this, &ParameterEditor::confirm);
  connect(cancel_, &QPushButton::clicked, this, &ParameterEditor::discard);
  // Enter in a field confirms; no other button of the pages may stand in
  // for it. A button that has the focus still takes Enter for itself.
  ok_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addSpacing(24);
  buttons->addWidget(cancel_);
  buttons->addStretch();
  auto* l = new QVBoxLayout(this);
  l->addWidget(pages_);
  l->addLayout(buttons);
  // Sized for its content and not resizable, like the other editor windows.
  l->setSizeConstraint(QLayout::SetFixedSize);

  loadingPanel_ = new QFrame(this);
  loadingPanel_->setObjectName("BetoltPanel");
  loadingPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  loadingPanel_->setAutoFillBackground(true);
  loadingLabel_ = new QLabel(QStringLiteral("Betöltés"), loadingPanel_);
  loadingLabel_->setObjectName("BetoltLabel");
  gauge_ = new QProgressBar(loadingPanel_);
  gauge_->setObjectName("BetoltGauge");
  gauge_->setRange(0, 100);
  auto* pl = new QVBoxLayout(loadingPanel_);
  pl->addWidget(loadingLabel_, 0, Qt::AlignHCenter);
  pl->addWidget(gauge_);
  loadingPanel_->setFixedWidth(qMax(260, loadingPanel_->sizeHint().width()));
  loadingPanel_->adjustSize();
  loadingPanel_->hide();
}

ParameterEditor::~ParameterEditor() = default;

void ParameterEditor::decodeImage(const ParameterImage& image) {
  context_.values = decode(image);
  context_.outOfFormat.clear();
  for (const OutOfFormatField& f : outOfFormatFields(image)) context_.outOfFormat[f.field->path] = f.bytes;
  for (EditorPage* p : pageList_) p->load();
  recordsNewer_ = true;
}

void ParameterEditor::openForEditing(ParameterImage& image) {
  present(image);
  exec();
  image_ = nullptr;
}

void ParameterEditor::present(ParameterImage& image) {
  image_ = &image;
  decodeImage(image);
  // A window shown already (a caller's own show) still refreshes its rows.
  if (isVisible()) pageChange(activePage_);
  show();
}

void ParameterEditor::prepareForExport(const ParameterImage& image) { decodeImage(image); }

void ParameterEditor::confirm() {
  pageLeave(activePage_);
  for (EditorPage* p : pageList_) p->save();
  if (image_) encode(context_.values, *image_);
  accept();
}

void ParameterEditor::discard() {
  pageLeave(activePage_);
  reject();
}

void ParameterEditor::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  shown_ = true;
  // Every opening shows the records of the latest decode, whether or not
  // the window manager reports an activation.
  pageChange(activePage_);
}

void ParameterEditor::changeEvent(QEvent* e) {
  QDialog::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) pageChange(activePage_);
}

void ParameterEditor::pageLeave(int index) {
  if (!shown_) return;
  if (PanelArray* a = pageList_[index]->panelArray()) a->storeAndDestroy();
}

void ParameterEditor::pageChange(int index) {
  if (!shown_) return;
  const bool newer = recordsNewer_;
  recordsNewer_ = false;
  EditorPage* page = pageList_[index];
  PanelArray* a = page->panelArray();
  if (!a) return;
  if (a->hasRows()) {
    // Rows left over from a window closed by its frame; after a decode
    // they show the new records. Otherwise they hold what is being typed.
    if (newer) a->refresh();
    return;
  }
  const QRect over = pages_->geometry();
  loadingPanel_->move(over.left() + (over.width() - loadingPanel_->width()) / 2,
                      over.top() + (over.height() - loadingPanel_->height()) / 2);
  gauge_->setValue(0);
  loadingPanel_->hide();
  loadingPanel_->raise();
  buildStart_ = clock_();
  building_ = true;
  page->setUpdatesEnabled(false);
  a->buildRows();
  page->setUpdatesEnabled(true);
  building_ = false;
  loadingPanel_->hide();
}

void ParameterEditor::showProgress(int percent) {
  // An array that rebuilds its rows on its own (after a resize) reports
  // progress too; only the page-change step has a stopwatch running and
  // hides the panel again afterwards.
  if (!building_) return;
  if (clock_() - buildStart_ > kIndicatorDelayMs) loadingPanel_->show();
  gauge_->setValue(percent);
  if (loadingPanel_->isVisible()) loadingPanel_->repaint();
}

}  // namespace corvanta
