#include "ui/editor/parameter_editor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "link/messenger.h"
#include "params/field_catalogue.h"
#include "params/out_of_format.h"
#include "params/write_review.h"
#include "ui/editor/change_list.h"
#include "params/parameter_codec.h"
#include "ui/editor/editor_page.h"
#include "ui/editor/events_page.h"
#include "ui/editor/field_tips.h"
#include "ui/editor/find_dialog.h"
#include "ui/editor/keypad_page.h"
#include "ui/editor/on_off_mode_window.h"
#include "ui/widgets/column_headers.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/row_cloning.h"
#include "ui/widgets/row_panel.h"
#include "ui/editor/relays_page.h"
#include "ui/editor/remotes_page.h"
#include "ui/editor/telephone_page.h"
#include "ui/editor/users_page.h"
#include "ui/editor/zones_page.h"

namespace corvanta {

namespace {

// A menu shows "&" as the mark of a shortcut letter.
QString menuText(const QString& s) {
  QString out = s;
  return out.replace(u'&', QStringLiteral("&&"));
}

}  // namespace

ParameterEditor::ParameterEditor(QWidget* parent) : QDialog(parent), dialogs_(this) {
  setObjectName("FormParSetting");
  setWindowTitle(QStringLiteral("GSM-Corvanta   -   Paraméterek beállítása"));
  context_.messenger = &dialogs_;
  stopwatch_.start();
  clock_ = [this] { return stopwatch_.elapsed(); };
  tracker_ = new EditTracker(history_, *this, context_, this);
  pasteChooser_ = [this](const PasteOptions& offer, int rows) -> std::optional<PasteOptions> {
    QDialog ask(this);
    ask.setWindowTitle(QStringLiteral("Beillesztés"));
    auto* l = new QVBoxLayout(&ask);
    l->addWidget(new QLabel(QStringLiteral("A másolt sor beállításai %1 sorba kerülnek. Ezeket is beilleszti?").arg(rows), &ask));
    QCheckBox* names = offer.names ? new QCheckBox(QStringLiteral("a nevet"), &ask) : nullptr;
    QCheckBox* codes = offer.codes ? new QCheckBox(QStringLiteral("a felhasználói kódot"), &ask) : nullptr;
    QCheckBox* sms = offer.sms ? new QCheckBox(QStringLiteral("az SMS szöveget"), &ask) : nullptr;
    for (QCheckBox* b : {names, codes, sms})
      if (b) l->addWidget(b);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    l->addWidget(buttons);
    if (ask.exec() != QDialog::Accepted) return std::nullopt;
    return PasteOptions{names && names->isChecked(), codes && codes->isChecked(), sms && sms->isChecked()};
  };

  modeWindow_ = new OnOffModeWindow(this);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  auto* telephone = new TelephonePage(context_);
  telephone->setModeChooser([this](int mode) { return modeWindow_->choose(mode); });
  pageList_ = {new ZonesPage(context_),  new UsersPage(context_),   new EventsPage(context_),
               new RelaysPage(context_), telephone,                 new RemotesPage(context_),
               new KeypadPage(context_)};
  for (int i = 0; i < kPageCount; ++i) {
    pages_->addTab(pageList_[i], pageCaption(i));
    tracker_->watchPage(i, pageList_[i]);
    if (PanelArray* a = pageList_[i]->panelArray()) {
      a->setProgress([this](int p) { showProgress(p); });
      a->setRowPrepared([this, i, a](RowPanel* row) { tracker_->watchRow(i, a, row); });
      connect(a, &PanelArray::rowMenuRequested, this,
              [this, i](int record, const QPoint& at) { showRowMenu(i, record, at); });
    }
    // The column headings say what their column takes.
    for (const ColumnHeaders* headers : pageList_[i]->findChildren<ColumnHeaders*>()) {
      headers->forEachHeading([i](const QString& control, int item, const QList<QLabel*>& labels) {
        const QString tip = columnTip(i, control, item);
        for (QLabel* l : labels) l->setToolTip(tip);
      });
    }
  }
  pages_->setCurrentIndex(kFirstPage);
  pages_->tabBar()->setToolTip(QStringLiteral("Következő lap: Ctrl+Tab, előző lap: Ctrl+Shift+Tab"));
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
  ok_->setToolTip(QStringLiteral("A módosítások a képbe kerülnek (Enter)"));
  cancel_->setToolTip(QStringLiteral("A módosítások elvetése; Esc: ugyanez, módosítások esetén előbb kérdez"));
  undoButton_ = new QPushButton(QStringLiteral("Visszavonás"), this);
  undoButton_->setObjectName("btUndo");
  undoButton_->setAutoDefault(false);
  redoButton_ = new QPushButton(QStringLiteral("Újra"), this);
  redoButton_->setObjectName("btRedo");
  redoButton_->setAutoDefault(false);
  connect(undoButton_, &QPushButton::clicked, &history_, &QUndoStack::undo);
  connect(redoButton_, &QPushButton::clicked, &history_, &QUndoStack::redo);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(undoButton_);
  buttons->addWidget(redoButton_);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addSpacing(24);
  buttons->addWidget(cancel_);
  buttons->addStretch();
  auto* l = new QVBoxLayout(this);
  auto* bar = new QMenuBar(this);
  bar->setObjectName("MainMenu");
  buildMenus(bar);
  l->setMenuBar(bar);
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

  connect(&history_, &QUndoStack::indexChanged, this, &ParameterEditor::showUndoTexts);
  connect(&history_, &QUndoStack::cleanChanged, this, &ParameterEditor::showUndoTexts);
  showUndoTexts();
  // Ctrl+Z in a text field takes back the editor's step, not the field's own.
  qApp->installEventFilter(this);
}

ParameterEditor::~ParameterEditor() { qApp->removeEventFilter(this); }

void ParameterEditor::buildMenus(QMenuBar* bar) {
  editMenu_ = bar->addMenu(QStringLiteral("&Szerkesztés"));
  editMenu_->setObjectName("mnEdit");
  undoAction_ = editMenu_->addAction(QStringLiteral("Visszavonás"), &history_, &QUndoStack::undo);
  undoAction_->setObjectName("actUndo");
  undoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
  redoAction_ = editMenu_->addAction(QStringLiteral("Újra"), &history_, &QUndoStack::redo);
  redoAction_->setObjectName("actRedo");
  redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

  editMenu_->addSeparator();
  QAction* findAction = editMenu_->addAction(QStringLiteral("Keresés…"), this, &ParameterEditor::find);
  findAction->setObjectName("actFind");
  findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* copy = editMenu_->addAction(QStringLiteral("Sor másolása"), this, &ParameterEditor::copyRow);
  copy->setObjectName("actCopyRow");
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  QAction* paste = editMenu_->addAction(QStringLiteral("Beillesztés a kijelölt sorokba…"), this,
                                        &ParameterEditor::pasteRows);
  paste->setObjectName("actPasteRows");
  paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  for (QAction* a : {findAction, copy, paste}) a->setShortcutContext(Qt::WindowShortcut);
  editMenu_->addSeparator();
  QAction* changes = editMenu_->addAction(QStringLiteral("Módosítások a beolvasás vagy megnyitás óta…"), this,
                                          &ParameterEditor::showChanges);
  changes->setObjectName("actChanges");

  QMenu* pagesMenu = bar->addMenu(QStringLiteral("&Lapok"));
  pagesMenu->setObjectName("mnPages");
  QAction* next = pagesMenu->addAction(QStringLiteral("Következő lap"), this, &ParameterEditor::nextPage);
  next->setObjectName("actNextPage");
  next->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
  QAction* previous = pagesMenu->addAction(QStringLiteral("Előző lap"), this, &ParameterEditor::previousPage);
  previous->setObjectName("actPreviousPage");
  previous->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
  QMenu* helpMenu = bar->addMenu(QStringLiteral("S&úgó"));
  helpMenu->setObjectName("mnHelp");
  QAction* help = helpMenu->addAction(QStringLiteral("Súgó"), this, &ParameterEditor::showHelp);
  help->setObjectName("actHelp");
  help->setShortcut(QKeySequence(Qt::Key_F1));
  for (QAction* a : {undoAction_, redoAction_, next, previous, help}) a->setShortcutContext(Qt::WindowShortcut);
}

int ParameterEditor::rowInHand(PanelArray* array) const {
  if (const int focused = array->focusedField().first; focused >= 0) return focused;
  const std::vector<int> selected = array->selectedRecords();
  return selected.size() == 1 ? selected.front() : -1;
}

bool ParameterEditor::copyRow() {
  PanelArray* array = pageList_[activePage_]->panelArray();
  const int record = array ? rowInHand(array) : -1;
  if (record < 0) {
    if (context_.messenger)
      context_.messenger->showMessage(QStringLiteral("Előbb válassza ki a másolandó sort: kattintson a sorra, "
                                                     "vagy lépjen bele egy mezőjébe."));
    return false;
  }
  array->storeAll();
  copied_ = CopiedRow{activePage_, record, context_.values};
  return true;
}

bool ParameterEditor::pasteRows() {
  PanelArray* array = pageList_[activePage_]->panelArray();
  if (!array) return false;
  if (!copied_ || copied_->page != activePage_) {
    if (context_.messenger)
      context_.messenger->showMessage(QStringLiteral("Ezen a lapon nincs másolt sor: előbb másoljon egyet (Ctrl+C)."));
    return false;
  }
  std::vector<int> targets = array->selectedRecords();
  if (targets.empty())
    if (const int focused = array->focusedField().first; focused >= 0) targets = {focused};
  std::erase(targets, copied_->record);
  if (targets.empty()) {
    if (context_.messenger)
      context_.messenger->showMessage(QStringLiteral("Jelölje ki a sorokat, amelyekbe beilleszti a másolt sort "
                                                     "(kattintás, Ctrl+kattintás, Shift+kattintás a soron)."));
    return false;
  }
  PasteOptions options;
  const PasteOptions offer = pasteOffer(activePage_);
  if (offersAnything(offer)) {
    const auto chosen = pasteChooser_ ? pasteChooser_(offer, int(targets.size())) : std::nullopt;
    if (!chosen) return false;
    options = *chosen;
  }
  array->storeAll();
  const RowRecords before = keepRecords(context_.values, activePage_, targets);
  pasteRow(context_.values, activePage_, copied_->values, copied_->record, targets, options);
  const RowRecords after = keepRecords(context_.values, activePage_, targets);
  {
    QuietScope quiet(context_);
    array->refresh();
  }
  const std::vector<std::string> paths = rowFieldPaths(activePage_, copied_->record);
  const fields::Field* first = paths.empty() ? nullptr : fields::fieldAt(paths.front());
  QString from = first ? QString::fromStdString(first->caption) : QString();
  from = from.left(from.indexOf(QStringLiteral(" \u00b7 ")));
  history_.push(new RecordsEdit(QStringLiteral("Beillesztés: %1 → %2 sor").arg(from.trimmed()).arg(targets.size()),
                                [this, before] { putRecords(before); }, [this, after] { putRecords(after); }));
  tracker_->endRun();
  return true;
}

void ParameterEditor::putRecords(const RowRecords& records) {
  QuietScope quiet(context_);
  tracker_->endRun();
  if (pages_->currentIndex() != records.page) pages_->setCurrentIndex(records.page);
  PanelArray* array = pageList_[records.page]->panelArray();
  if (!array) return;
  array->storeAll();
  putBack(context_.values, records);
  array->refresh();
  array->setSelectedRecords(records.records);
  if (!records.records.empty()) array->ensureRecordVisible(records.records.front());
}

void ParameterEditor::showRowMenu(int page, int record, const QPoint& at) {
  PanelArray* array = pageList_[page]->panelArray();
  QMenu menu(this);
  menu.addAction(QStringLiteral("Sor másolása\tCtrl+C"), this, [this, array, record] {
    array->setSelectedRecords({record});
    copyRow();
  });
  QAction* paste = menu.addAction(QStringLiteral("Beillesztés a kijelölt sorokba…\tCtrl+V"), this,
                                  &ParameterEditor::pasteRows);
  paste->setEnabled(copied_ && copied_->page == page);
  menu.addAction(QStringLiteral("Kijelölés megszüntetése"), array, &PanelArray::clearSelection);
  menu.exec(at);
}

void ParameterEditor::find() {
  if (!find_) {
    find_ = new FindDialog([this] { return currentValues(); },
                           [this](const ControlAddress& a) {
                             activateWindow();
                             showControl(a);
                           },
                           this);
  }
  find_->start();
}

void ParameterEditor::setOrigin(const std::optional<ParameterImage>& origin, const QString& what) {
  origin_ = origin;
  originText_ = what;
}

QString ParameterEditor::changesSinceOrigin() {
  if (!origin_)
    return QStringLiteral("Ebben a futásban a kép nem a modulból, fájlból vagy a helyszínkönyvből jött: "
                          "nincs mihez hasonlítani.");
  ParameterImage now = image_ ? *image_ : *origin_;
  encode(currentValues(), now);
  const WriteReview review = reviewWrite(*origin_, now);
  if (review.changesNothing()) return QStringLiteral("Nincs módosítás ehhez képest: %1.").arg(originText_);
  return QStringLiteral("Módosítások ehhez képest: %1.\n\n").arg(originText_) + changeListText(review);
}

void ParameterEditor::showChanges() {
  if (context_.messenger) context_.messenger->showMessage(changesSinceOrigin(), QStringLiteral("Módosítások"));
}

QString ParameterEditor::helpText() {
  return QStringLiteral(
      "A szerkesztő a paraméterkép mezőit mutatja hét lapon. A „Beállítások Rögzítése” a képbe írja a "
      "módosításokat, a „Beállítások Visszavonása” elveti őket; a modulba a paraméterbeállítás ablaka írja.\n\n"
      "Billentyűk:\n"
      "Tab, Shift+Tab  a következő, előző mező (minden sor minden mezője)\n"
      "Ctrl+Tab, Ctrl+Shift+Tab  a következő, előző lap\n"
      "Ctrl+Z  visszavonás (a lapot, a sort és a mezőt is megmutatja)\n"
      "Ctrl+Shift+Z, Ctrl+Y  újra\n"
      "Ctrl+F  beállítás keresése felirat vagy érték szerint\n"
      "Ctrl+C  a sor másolása (nem szövegmezőben)\n"
      "Ctrl+V  beillesztés a kijelölt sorokba\n"
      "Esc  bezárás; módosítások esetén előbb kérdez\n"
      "F1  ez a súgó\n\n"
      "Sorok kijelölése: kattintás a sor feliratára, Ctrl+kattintás további sorokat ad hozzá, "
      "Shift+kattintás egy tartományt jelöl ki. A telefonszám-mezőkbe az első cellától írt szám "
      "az egész számot lecseréli.");
}

void ParameterEditor::showHelp() {
  if (context_.messenger) context_.messenger->showMessage(helpText(), QStringLiteral("Súgó – paraméterek"));
}

void ParameterEditor::showUndoTexts() {
  const QString undo = history_.undoText();
  const QString redo = history_.redoText();
  undoAction_->setText(undo.isEmpty() ? QStringLiteral("Visszavonás") : QStringLiteral("Visszavonás: ") + menuText(undo));
  redoAction_->setText(redo.isEmpty() ? QStringLiteral("Újra") : QStringLiteral("Újra: ") + menuText(redo));
  undoAction_->setEnabled(history_.canUndo());
  redoAction_->setEnabled(history_.canRedo());
  undoButton_->setEnabled(history_.canUndo());
  redoButton_->setEnabled(history_.canRedo());
  undoButton_->setToolTip(shortcutNote(undo.isEmpty() ? QStringLiteral("Visszavonás") : QStringLiteral("Visszavonás: ") + undo,
                                       QStringLiteral("Ctrl+Z")));
  redoButton_->setToolTip(shortcutNote(redo.isEmpty() ? QStringLiteral("Újra") : QStringLiteral("Újra: ") + redo,
                                       QStringLiteral("Ctrl+Shift+Z, Ctrl+Y")));
}

bool ParameterEditor::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      isAncestorOf(static_cast<QWidget*>(watched))) {
    const auto* k = static_cast<QKeyEvent*>(e);
    const QKeyCombination c = k->keyCombination();
    // Left unaccepted, the key goes to the window's undo and redo.
    if (k->matches(QKeySequence::Undo) || k->matches(QKeySequence::Redo) ||
        c == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
        c == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z))
      return true;
    // The remote buttons' lists take their text from their items: there
    // Ctrl+C and Ctrl+V copy the row, as on the boxes of the other rows.
    if (k->matches(QKeySequence::Copy) || k->matches(QKeySequence::Paste)) {
      auto* w = static_cast<QWidget*>(watched);
      QWidget* combo = qobject_cast<QComboBox*>(w) ? w : w->parentWidget();
      if (qobject_cast<QComboBox*>(combo))
        for (QWidget* p = combo->parentWidget(); p && p != this; p = p->parentWidget())
          if (qobject_cast<PanelArray*>(p)) return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

void ParameterEditor::nextPage() { pages_->setCurrentIndex((pages_->currentIndex() + 1) % kPageCount); }

void ParameterEditor::previousPage() {
  pages_->setCurrentIndex((pages_->currentIndex() + kPageCount - 1) % kPageCount);
}

void ParameterEditor::newRound() {
  history_.clear();
  history_.setClean();
  // A copied row and chosen rows belong to the image they were made on.
  copied_.reset();
  for (EditorPage* p : pageList_)
    if (PanelArray* a = p->panelArray()) a->clearSelection();
}

void ParameterEditor::done(int result) {
  if (find_) find_->hide();
  QDialog::done(result);
}

QWidget* ParameterEditor::controlAt(const ControlAddress& a) {
  if (a.page < 0 || a.page >= kPageCount) return nullptr;
  EditorPage* page = pageList_[a.page];
  if (a.record < 0) return page->findChild<QWidget*>(a.control);
  PanelArray* array = page->panelArray();
  if (!array) return nullptr;
  RowPanel* row = array->rowForRecord(a.record);
  return row ? findInRow(row, a.control) : nullptr;
}

bool ParameterEditor::showControl(const ControlAddress& a) {
  if (a.page < 0 || a.page >= kPageCount) return false;
  if (pages_->currentIndex() != a.page) pages_->setCurrentIndex(a.page);
  EditorPage* page = pageList_[a.page];
  if (a.record >= 0) {
    PanelArray* array = page->panelArray();
    if (!array) return false;
    return array->focusInRecord(a.record, [&](RowPanel* row) -> QWidget* {
      QWidget* control = findInRow(row, a.control);
      return control ? focusWidgetOf(control, a.item) : nullptr;
    });
  }
  QWidget* control = controlAt(a);
  if (!control) return false;
  focusWidgetOf(control, a.item)->setFocus(Qt::OtherFocusReason);
  return true;
}

void ParameterEditor::applyEdit(const ControlAddress& a, const QVariant& value) {
  QuietScope quiet(context_);
  tracker_->endRun();
  if (pages_->currentIndex() != a.page) pages_->setCurrentIndex(a.page);
  if (a.record >= 0)
    if (PanelArray* array = pageList_[a.page]->panelArray()) array->ensureRecordVisible(a.record);
  if (QWidget* control = controlAt(a)) setControlValue(control, a.item, value);
  showControl(a);
  tracker_->endRun();
}

ParameterValues ParameterEditor::currentValues() {
  if (PanelArray* a = pageList_[activePage_]->panelArray(); a && shown_) a->storeAll();
  for (EditorPage* p : pageList_) p->save();
  return context_.values;
}

void ParameterEditor::decodeImage(const ParameterImage& image) {
  QuietScope quiet(context_);
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
  newRound();
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
  QDialog::reject();
}

void ParameterEditor::reject() {
  if (holdsChanges() && isVisible()) {
    Messenger* ask = context_.messenger;
    if (!ask || !ask->askYesNo(QString::fromUtf8(kDiscardQuestion))) return;
  }
  QDialog::reject();
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
    if (newer) {
      QuietScope quiet(context_);
      a->refresh();
    }
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
  {
    QuietScope quiet(context_);
    a->buildRows();
  }
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
