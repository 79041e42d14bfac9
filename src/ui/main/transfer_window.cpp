#include "ui/main/transfer_window.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QUndoCommand>
#include <QVBoxLayout>

#include "link/messenger.h"
#include "link/module_link.h"
#include "params/code_fields.h"
#include "params/write_review.h"
#include "sitebook/site_records.h"
#include "ui/editor/change_list.h"
#include "ui/main/remembered_choices.h"
#include "ui/main/unsaved_edits.h"
#include "ui/widgets/escape_closes.h"
#include "ui/widgets/file_folders.h"

namespace corvanta {

namespace {

constexpr const char* kFileFilter = "GSM Corvanta Data File ver.2 (*.CD2 *.cd2)";
constexpr const char* kFileSuffix = "CD2";

// What each colour of the indicators means, at the start of an operation
// and where it ended.
struct LegendEntry {
    BlockColour colour;
    const char* meaning;
};
constexpr LegendEntry kLegend[] = {
    {BlockColour::Silver, "alaphelyzet, fájl választása"},
    {BlockColour::White, "olvasás / írás alatt – a végén: nem került sorra"},
    {BlockColour::Yellow, "összehasonlítás alatt – a végén: az első eltérés utáni blokk (a lista mindet mutatja)"},
    {BlockColour::Green, "beolvasva, beírva, egyezik; fájl megnyitva"},
    {BlockColour::Red, "hiba vagy eltérés"},
};

const char* const kWriteCaption = "Írás a modulba";
const char* const kHelpCaption = "Súgó – paraméterbeállítás";

// One step of the image's history: what it was before and after, and what
// it had come from (read, opened) before and after.
class ImageStep : public QUndoCommand {
public:
    struct State {
        ParameterImage image;
        std::optional<ParameterImage> origin;
        QString originText;
    };
    using Restore = std::function<void(const State&)>;

    ImageStep(const QString& text, State before, State after, Restore restore)
        : before_(std::move(before)), after_(std::move(after)), restore_(std::move(restore)) {
        setText(text);
    }
    void undo() override { restore_(before_); }
    const ParameterImage& after() const { return after_.image; }
    void redo() override {
        if (made_) {
            made_ = false;
            return;
        }
        restore_(after_);
    }

private:
    State before_;
    State after_;
    Restore restore_;
    bool made_ = true;
};

}  // namespace

TransferWindow::TransferWindow(ModuleLink& link, ParameterImage& image, QWidget* parent)
    : QWidget(parent, Qt::Window), link_(link), image_(image), transfer_(link, image, *this) {
    setObjectName("FormDownload");
    setWindowTitle(QStringLiteral("GSM-Corvanta paraméterbeállítás"));

    auto* indicatorRow = new QHBoxLayout;
    for (int k = 0; k < kBlocks; ++k) {
        auto* bp = new QLabel(QStringLiteral("Blokk %1").arg(k + 1), this);
        bp->setObjectName(QStringLiteral("BP%1").arg(k + 1));
        bp->setFrameStyle(QFrame::Panel | QFrame::Raised);
        bp->setAlignment(Qt::AlignCenter);
        bp->setAutoFillBackground(true);
        bp->setMinimumHeight(2 * bp->fontMetrics().height());
        bp->setMinimumWidth(bp->fontMetrics().horizontalAdvance(bp->text()) + 12);
        indicators_[k] = bp;
        indicatorRow->addWidget(bp);
        paintBlock(k, BlockColour::Silver);
    }
    // A swatch of each colour, framed so that white shows too, and what it means.
    lbLegend_ = new QWidget(this);
    lbLegend_->setObjectName("lbLegend");
    auto* legend = new QGridLayout(lbLegend_);
    legend->setContentsMargins(0, 0, 0, 0);
    legend->setHorizontalSpacing(6);
    legend->setVerticalSpacing(1);
    for (int i = 0; i < int(std::size(kLegend)); ++i) {
        auto* swatch = new QLabel(lbLegend_);
        swatch->setObjectName(QStringLiteral("lbLegendSwatch%1").arg(i + 1));
        swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
        swatch->setAutoFillBackground(true);
        QPalette p = swatch->palette();
        p.setColor(QPalette::Window, colourOf(kLegend[i].colour));
        swatch->setPalette(p);
        auto* meaning = new QLabel(QString::fromUtf8(kLegend[i].meaning), lbLegend_);
        QFont small = meaning->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        meaning->setFont(small);
        swatch->setFixedSize(2 * QFontMetrics(small).height(), QFontMetrics(small).height() - 2);
        legend->addWidget(swatch, i, 0);
        legend->addWidget(meaning, i, 1);
    }
    legend->setColumnStretch(1, 1);

    // Alt+letters, none used twice: B M I E N J O T H S P A L V R.
    QPushButton* btOpen = addButton("btOpen", QStringLiteral("&Beolvasás fájlból"));
    QPushButton* btSave = addButton("btSave", QStringLiteral("&Mentés fájlba"));
    QPushButton* btImport = addButton("btImport", QStringLiteral("&Importálás TXT-ből"));
    QPushButton* btExport = addButton("btExport", QStringLiteral("&Exportálás TXT-be"));
    // The settings listing, which the hidden export button shows, reached
    // through the printer.
    QPushButton* btPrint = addButton("btPrint", QStringLiteral("&Nyomtatás"));
    // The settings as a customer reads them: captions and values, no codes.
    QPushButton* btReport = addButton("btReport", QString::fromUtf8("Beállítási &jelentés"));
    QPushButton* btRead = addButton("btRead", QStringLiteral("<-- Adatok be&olvasása a modulból"));
    QPushButton* btWrite = addButton("btWrite", QStringLiteral("--> Adatok át&töltése a modulba"));
    QPushButton* btCompare = addButton("btCompare", QStringLiteral("<--> Adatok össze&hasonlítása"));
    QPushButton* btEdit = addButton("btEdit", QStringLiteral("Adatok &szerkesztése"));
    QPushButton* btStop = addButton("btStop", QStringLiteral("Sto&p"));
    QPushButton* btClose = addButton("btClose", QStringLiteral("&Ablak bezárása"));
    btRecent_ = addButton("btRecent", QString::fromUtf8("&Legutóbbi fájlok"));
    recentMenu_ = new QMenu(btRecent_);
    recentMenu_->setObjectName("mnRecent");
    btRecent_->setMenu(recentMenu_);
    connect(recentMenu_, &QMenu::aboutToShow, this, &TransferWindow::fillRecentMenu);
    btUndo_ = addButton("btUndo", QString::fromUtf8("&Visszavonás"));
    btRedo_ = addButton("btRedo", QString::fromUtf8("Új&ra"));
    connect(btUndo_, &QPushButton::clicked, &imageHistory_, &QUndoStack::undo);
    connect(btRedo_, &QPushButton::clicked, &imageHistory_, &QUndoStack::redo);
    btImport->setVisible(false);
    btImport->setEnabled(false);
    btExport->setVisible(false);
    QFont bold = btEdit->font();
    bold.setBold(true);
    btEdit->setFont(bold);

    lockedWhileRunning_ = {btOpen, btSave, btExport, btPrint, btReport, btRead, btWrite, btCompare, btEdit, btClose,
                           btRecent_, btUndo_, btRedo_};
    connect(btOpen, &QPushButton::clicked, this, &TransferWindow::btOpenClick);
    connect(btSave, &QPushButton::clicked, this, &TransferWindow::btSaveClick);
    connect(btRead, &QPushButton::clicked, this, &TransferWindow::btReadClick);
    connect(btWrite, &QPushButton::clicked, this, &TransferWindow::btWriteClick);
    connect(btCompare, &QPushButton::clicked, this, &TransferWindow::btCompareClick);
    connect(btEdit, &QPushButton::clicked, this, &TransferWindow::btEditClick);
    connect(btExport, &QPushButton::clicked, this, &TransferWindow::btExportClick);
    connect(btPrint, &QPushButton::clicked, this, &TransferWindow::btPrintClick);
    connect(btReport, &QPushButton::clicked, this, &TransferWindow::btReportClick);
    // Another line may lead to another module.
    connect(&link_, &ModuleLink::linkStateChanged, this, [this] {
        forgetCompare();
        moduleImage_.reset();
    });

    // The usual keys, each named in the tooltip of what it stands for.
    const auto shortcut = [this](const char* name, const QList<QKeySequence>& keys, auto slot) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        actions_.push_back(a);
        return a;
    };
    shortcut("actOpen", {QKeySequence(Qt::CTRL | Qt::Key_O)}, [btOpen] { if (btOpen->isEnabled()) btOpen->click(); });
    shortcut("actSave", {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this, btSave] { if (btSave->isEnabled()) saveToCurrentFile(); });
    shortcut("actSaveAs", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, [btSave] { if (btSave->isEnabled()) btSave->click(); });
    shortcut("actUndo", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { if (btUndo_->isEnabled()) imageHistory_.undo(); });
    shortcut("actRedo", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
             [this] { if (btRedo_->isEnabled()) imageHistory_.redo(); });
    shortcut("actHelp", {QKeySequence(Qt::Key_F1)}, [this] { showHelp(); });
    btOpen->setToolTip(QString::fromUtf8("Paraméterfájl megnyitása (Ctrl+O)"));
    btSave->setToolTip(QString::fromUtf8("Mentés új fájlba (Ctrl+Shift+S); Ctrl+S: a legutóbb megnyitott vagy mentett fájlba"));
    btRecent_->setToolTip(QString::fromUtf8("A legutóbbi %1 paraméterfájl").arg(RememberedChoices::kRecentFiles));
    const auto showSteps = [this] {
        const QString undo = imageHistory_.undoText(), redo = imageHistory_.redoText();
        const bool idle = !lockedWhileRunning_.empty() && lockedWhileRunning_.front()->isEnabled();
        btUndo_->setEnabled(idle && imageHistory_.canUndo());
        btRedo_->setEnabled(idle && imageHistory_.canRedo());
        btUndo_->setToolTip((undo.isEmpty() ? QString::fromUtf8("Visszavonás") : QString::fromUtf8("Visszavonás: ") + undo) +
                            QStringLiteral(" (Ctrl+Z)"));
        btRedo_->setToolTip((redo.isEmpty() ? QString::fromUtf8("Újra") : QString::fromUtf8("Újra: ") + redo) +
                            QStringLiteral(" (Ctrl+Shift+Z, Ctrl+Y)"));
    };
    connect(&imageHistory_, &QUndoStack::indexChanged, this, showSteps);
    stepImage_ = image_;
    connect(btClose, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(this, btClose);
    // Stop ends a read, compare or write before the module commits; there is
    // nothing to stop before one starts or once a write's commit went out.
    btStop_ = btStop;
    btStop->setEnabled(false);
    connect(btStop, &QPushButton::clicked, this, [this] { transfer_.stop(); });

    // Files on the left, the module on the right, the editor and closing below.
    auto* grid = new QGridLayout;
    grid->addWidget(btOpen, 0, 0);
    grid->addWidget(btRead, 0, 1);
    grid->addWidget(btSave, 1, 0);
    grid->addWidget(btWrite, 1, 1);
    // The recent files beside the (hidden) import, under the two file buttons.
    auto* importRow = new QHBoxLayout;
    importRow->addWidget(btImport);
    importRow->addWidget(btRecent_);
    grid->addLayout(importRow, 2, 0);
    grid->addWidget(btCompare, 2, 1);
    auto* listingRow = new QHBoxLayout;
    listingRow->addWidget(btExport);
    listingRow->addWidget(btPrint);
    grid->addLayout(listingRow, 3, 0);
    grid->addWidget(btReport, 3, 1);
    grid->addWidget(btEdit, 4, 0, 1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btUndo_);
    bottom->addWidget(btRedo_);
    bottom->addWidget(btStop);
    bottom->addStretch();
    bottom->addWidget(btClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(indicatorRow);
    layout->addWidget(lbLegend_);
    layout->addSpacing(8);
    layout->addLayout(grid);
    layout->addSpacing(8);
    // Below: what the site book kept, and the fields a compare found
    // different (module → image); both hidden until there is something.
    lbRecordNote_ = new QLabel(this);
    lbRecordNote_->setObjectName("lbRecordNote");
    lbRecordNote_->setWordWrap(true);
    lbRecordNote_->hide();
    lbOutcome_ = new QLabel(this);
    lbOutcome_->setObjectName("lbOutcome");
    lbOutcome_->setWordWrap(true);
    lbOutcome_->hide();
    lbChanges_ = new QLabel(QString::fromUtf8("Eltérő mezők (modul → kép):"), this);
    lbChanges_->setObjectName("lbChanges");
    lbChanges_->hide();
    meChanges_ = new QPlainTextEdit(this);
    meChanges_->setObjectName("meChanges");
    meChanges_->setReadOnly(true);
    meChanges_->setLineWrapMode(QPlainTextEdit::NoWrap);
    meChanges_->setMinimumHeight(8 * meChanges_->fontMetrics().height());
    meChanges_->hide();
    layout->addWidget(lbOutcome_);
    layout->addWidget(lbRecordNote_);
    layout->addWidget(lbChanges_);
    layout->addWidget(meChanges_);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showSteps();
}

TransferWindow::~TransferWindow() = default;

QPushButton* TransferWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumHeight(button->sizeHint().height() + 6);
    return button;
}

QColor TransferWindow::colourOf(BlockColour colour) {
    switch (colour) {
    case BlockColour::Silver: return QColor(192, 192, 192);
    case BlockColour::White: return QColor(255, 255, 255);
    case BlockColour::Yellow: return QColor(255, 255, 0);
    case BlockColour::Green: return QColor(0, 128, 0);
    case BlockColour::Red: return QColor(255, 0, 0);
    }
    return {};
}

QColor TransferWindow::indicatorColour(int block) const {
    return indicators_.at(block)->palette().color(QPalette::Window);
}

void TransferWindow::paintBlock(int block, BlockColour colour) {
    if (block < 0 || block >= kBlocks) return;
    QLabel* bp = indicators_[block];
    QPalette p = bp->palette();
    p.setColor(QPalette::Window, colourOf(colour));
    // Dark fills keep their caption readable.
    p.setColor(QPalette::WindowText, colour == BlockColour::Green ? Qt::white : Qt::black);
    bp->setPalette(p);
}

void TransferWindow::setOperationRunning(bool running) {
    for (QPushButton* button : lockedWhileRunning_) button->setEnabled(!running);
    if (!running) {
        btUndo_->setEnabled(imageHistory_.canUndo());
        btRedo_->setEnabled(imageHistory_.canRedo());
    }
}

bool TransferWindow::mayReplaceImage() {
    if (!unsaved_) return true;
    // Edits taken back with Ctrl+Z are still there to bring back; the next
    // step would drop them, so they count as edits kept nowhere else.
    bool undone = false;
    for (int i = imageHistory_.index(); i < imageHistory_.count() && !undone; ++i)
        undone = static_cast<const ImageStep*>(imageHistory_.command(i))->after() != unsaved_->kept();
    if (!undone) return unsaved_->confirmLoss(link_.messenger());
    Messenger* ask = link_.messenger();
    return ask && ask->askYesNo(QString::fromUtf8(UnsavedEdits::kQuestion));
}

void TransferWindow::imageKept() {
    if (unsaved_) unsaved_->markKept();
}

void TransferWindow::btReadClick() {
    // Without a link the read only says so; nothing is lost to ask about.
    if (link_.linkConnected() && !mayReplaceImage()) return;
    if (transfer_.read()) {
        imageKept();
        forgetCompare();  // the image is now what the module holds
        moduleImage_ = image_;
        imageStep(QString::fromUtf8("Beolvasás a modulból"), QString::fromUtf8("a modulból beolvasott kép"));
    }
}

QString TransferWindow::legendText() const {
    QStringList lines;
    for (const LegendEntry& e : kLegend) lines << QString::fromUtf8(e.meaning);
    return lines.join('\n');
}

void TransferWindow::forgetCompare() {
    compared_.reset();
    meChanges_->clear();
    lbChanges_->hide();
    meChanges_->hide();
}

void TransferWindow::forgetCompareIfStale() {
    if (compared_ && *compared_ != image_) forgetCompare();
}

void TransferWindow::showEvent(QShowEvent* event) {
    // The site book or the editor may have replaced the image meanwhile.
    forgetCompareIfStale();
    QWidget::showEvent(event);
}

void TransferWindow::showRecordNote(const QString& note) {
    lbRecordNote_->setText(note);
    lbRecordNote_->setVisible(!note.isEmpty());
    emit recorded();
}

QString TransferWindow::recordNote() const { return lbRecordNote_->text(); }

void TransferWindow::showOutcome(const QString& text) {
    lbOutcome_->setText(text);
    lbOutcome_->setVisible(!text.isEmpty());
}

QString TransferWindow::outcomeLine() const { return lbOutcome_->text(); }

void TransferWindow::setStopEnabled(bool on) { btStop_->setEnabled(on); }

QStringList TransferWindow::compareLines() const {
    return meChanges_->isHidden() ? QStringList() : meChanges_->toPlainText().split('\n');
}

void TransferWindow::btCompareClick() {
    forgetCompare();
    transfer_.compare();
    QStringList lines;
    for (const auto& row : sitebook::changeRows(transfer_.compareChanges())) lines << sitebook::changeLine(row);
    // The codes are not compared, but a customer's code changed at the
    // keypad is worth knowing of before a write puts the old one back.
    for (const std::string& line : codes::codeDifferenceLines(transfer_.compareCodes()))
        lines << QString::fromStdString(line);
    if (lines.isEmpty()) return;
    compared_ = image_;
    meChanges_->setPlainText(lines.join('\n'));
    lbChanges_->show();
    meChanges_->show();
}

void TransferWindow::btWriteClick() {
    // Without a link, or with an image the module would refuse, the write
    // says so itself and sends nothing: there is nothing to review.
    if (link_.linkConnected() && !ParameterTransfer::writeRefusal(image_)) {
        Messenger* ask = link_.messenger();
        if (!ask || !ask->askYesNo(writeQuestion(), QString::fromUtf8(kWriteCaption))) return;
    }
    const bool ok = transfer_.write();
    if (ok) {
        imageKept();
        moduleImage_ = image_;
    }
    // Once blocks went out the module is no longer what the compare saw.
    using Step = ParameterTransfer::Failure::Step;
    const Step step = transfer_.failure().step;
    if (ok || step == Step::Write || step == Step::Commit) forgetCompare();
    // A commit that went out unconfirmed, or a module that holds something
    // else after it: what it holds is not known any more.
    if (!ok && (step == Step::Commit || step == Step::Verify)) moduleImage_.reset();
}

void TransferWindow::btOpenClick() {
    if (!mayReplaceImage()) return;
    for (int k = 0; k < kBlocks; ++k) paintBlock(k, BlockColour::Silver);
    const QString path = chooseFile(false);
    if (path.isEmpty()) return;
    if (transfer_.openFile(path)) {
        imageKept();
        fileKept(path);
        imageStep(QString::fromUtf8("Fájl megnyitása: ") + QFileInfo(path).fileName(),
                  QString::fromUtf8("a megnyitott fájl (%1)").arg(QFileInfo(path).fileName()));
    }
    forgetCompareIfStale();
}

void TransferWindow::openFile(const QString& path) {
    if (!mayReplaceImage()) return;
    if (transfer_.openFile(path)) {
        imageKept();
        fileKept(path);
        imageStep(QString::fromUtf8("Fájl megnyitása: ") + QFileInfo(path).fileName(),
                  QString::fromUtf8("a megnyitott fájl (%1)").arg(QFileInfo(path).fileName()));
    } else if (!QFileInfo::exists(path) && choices_) {
        // A file that is gone leaves the list; one that would not open stays.
        choices_->removeRecentFile(path);
    }
    forgetCompareIfStale();
}

bool TransferWindow::saveTo(const QString& path) {
    if (!transfer_.saveFile(path)) return false;
    imageKept();
    fileKept(path);
    return true;
}

void TransferWindow::btSaveClick() {
    const QString path = chooseFile(true);
    if (path.isEmpty()) return;
    saveTo(path);
}

void TransferWindow::saveToCurrentFile() {
    if (currentFile_.isEmpty())
        btSaveClick();
    else
        saveTo(currentFile_);
}

void TransferWindow::fileKept(const QString& path) {
    currentFile_ = path;
    if (choices_) choices_->addRecentFile(path);
}

void TransferWindow::setRememberedChoices(RememberedChoices* choices) { choices_ = choices; }

QStringList TransferWindow::recentFiles() const { return choices_ ? choices_->recentFiles() : QStringList(); }

void TransferWindow::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = recentFiles();
    if (files.isEmpty()) recentMenu_->addAction(QString::fromUtf8("(nincs még fájl)"))->setEnabled(false);
    for (int i = 0; i < files.size(); ++i) {
        // "&1 name" opens with the digit; the path is in the tooltip.
        QString label = QFileInfo(files[i]).fileName();
        label.replace(u'&', QStringLiteral("&&"));
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1  %2").arg(i + 1).arg(label));
        a->setToolTip(files[i]);
        a->setStatusTip(files[i]);
        connect(a, &QAction::triggered, this, [this, path = files[i]] { openFile(path); });
    }
    recentMenu_->setToolTipsVisible(true);
}

void TransferWindow::btEditClick() {
    if (editorOpener_) editorOpener_(image_);
    imageStep(QString::fromUtf8("Szerkesztés"));
    forgetCompareIfStale();
}

void TransferWindow::noteImageReplaced(const QString& what) { imageStep(what, what); }

void TransferWindow::imageStep(const QString& what, const QString& newOrigin) {
    ImageStep::State before{stepImage_, origin_, originText_};
    if (!newOrigin.isEmpty()) {
        origin_ = image_;
        originText_ = newOrigin;
    }
    ImageStep::State after{image_, origin_, originText_};
    if (before.image == after.image && newOrigin.isEmpty()) return;
    stepImage_ = image_;
    imageHistory_.push(new ImageStep(what, std::move(before), std::move(after),
                                     [this](const ImageStep::State& state) {
                                         restoreImage(state.image, state.origin, state.originText);
                                     }));
}

void TransferWindow::restoreImage(const ParameterImage& image, const std::optional<ParameterImage>& origin,
                                  const QString& originText) {
    image_ = image;
    stepImage_ = image;
    origin_ = origin;
    originText_ = originText;
    // The colours told of an operation on another image.
    for (int k = 0; k < kBlocks; ++k) paintBlock(k, BlockColour::Silver);
    forgetCompareIfStale();
}

QString TransferWindow::writeQuestion() {
    std::optional<KnownImage> known;
    if (moduleImage_)
        known = KnownImage{*moduleImage_, QString::fromUtf8("az ebben a futásban a modulból utoljára beolvasott képhez képest")};
    else if (snapshotSource_)
        known = snapshotSource_();
    const QString ask = QString::fromUtf8("Áttölti a modulba?");
    if (!known) {
        return QString::fromUtf8("Nem tudni, mit változtat az írás a modulban: ebben a futásban nem olvasta be "
                                 "a modult, és a kiválasztott helyszínnek nincs pillanatképe. Az írás a modul "
                                 "minden beállítását a kép adataira cseréli.\n\n") + ask;
    }
    const WriteReview review = reviewWrite(known->image, image_);
    if (review.changesNothing()) {
        return QString::fromUtf8("Az írás semmit nem változtat a modulban (%1): a kép ugyanaz.\n\nÁttölti így is a modulba?")
            .arg(known->source);
    }
    return QString::fromUtf8("Az írás ezeket a mezőket változtatja meg a modulban, %1:\n\n").arg(known->source) +
           changeListText(review) + QStringLiteral("\n\n") + ask;
}

QString TransferWindow::helpText() {
    return QString::fromUtf8(
        "A paraméterbeállítás ablakában a modul 2048 bájtos paraméterképe mozog a modul, a fájlok és a "
        "szerkesztő között.\n\n"
        "<-- Adatok beolvasása a modulból: a nyolc blokk beolvasása; a blokkjelzők zöldre váltanak.\n"
        "--> Adatok áttöltése a modulba: előbb felsorolja, mely mezők változnak a modulban, és csak "
        "az „Igen” után ír.\n"
        "<--> Adatok összehasonlítása: a modul és a kép összevetése; az eltérő mezők lista alatt.\n"
        "Adatok szerkesztése: a szerkesztő megnyitása a képen.\n"
        "Stop: a futó olvasás, összehasonlítás vagy írás leállítása a véglegesítés előtt.\n\n"
        "Billentyűk:\n"
        "Ctrl+O  fájl megnyitása\n"
        "Ctrl+S  mentés a legutóbb megnyitott vagy mentett fájlba\n"
        "Ctrl+Shift+S  mentés új fájlba\n"
        "Ctrl+Z  a kép előző állapota (beolvasás, fájl, szerkesztés előtt)\n"
        "Ctrl+Shift+Z, Ctrl+Y  újra\n"
        "Esc  az ablak bezárása\n"
        "F1  ez a súgó\n\n"
        "A „Legutóbbi fájlok” gomb a legutóbbi nyolc paraméterfájlt kínálja.");
}

void TransferWindow::showHelp() {
    if (Messenger* m = link_.messenger()) m->showMessage(helpText(), QString::fromUtf8(kHelpCaption));
}

void TransferWindow::btExportClick() {
    if (exporter_) exporter_(image_);
}

void TransferWindow::btPrintClick() {
    if (printer_) printer_(image_);
}

void TransferWindow::btReportClick() {
    if (reporter_) reporter_(image_);
}

QString TransferWindow::chooseFile(bool forSaving) {
    QString path;
    if (fileChooser_) {
        path = fileChooser_(forSaving);
    } else {
        std::unique_ptr<QFileDialog>& dialog = forSaving ? saveDialog1_ : openDialog1_;
        if (!dialog) {
            dialog = std::make_unique<QFileDialog>(this);
            dialog->setNameFilter(QString::fromLatin1(kFileFilter));
            dialog->setDefaultSuffix(QString::fromLatin1(kFileSuffix));
            dialog->setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            dialog->setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
            // Saving over a file replaces it without a question, as it always has.
            if (forSaving) dialog->setOption(QFileDialog::DontConfirmOverwrite);
        }
        path = runFileDialog(*dialog, FileKind::ParameterFile, QStringLiteral("*.") + QString::fromLatin1(kFileSuffix));
    }
    rememberFolder(FileKind::ParameterFile, path);
    return path;
}

}  // namespace corvanta
