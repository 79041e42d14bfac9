#include "ui/main/transfer_window.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "link/module_link.h"
#include "params/code_fields.h"
#include "sitebook/site_records.h"
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

    // Alt+letters, none used twice: B M I E N O T H S P A.
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
    btImport->setVisible(false);
    btImport->setEnabled(false);
    btExport->setVisible(false);
    QFont bold = btEdit->font();
    bold.setBold(true);
    btEdit->setFont(bold);

    lockedWhileRunning_ = {btOpen, btSave, btExport, btPrint, btReport, btRead, btWrite, btCompare, btEdit, btClose};
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
    connect(&link_, &ModuleLink::linkStateChanged, this, &TransferWindow::forgetCompare);
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
    grid->addWidget(btImport, 2, 0);
    grid->addWidget(btCompare, 2, 1);
    auto* listingRow = new QHBoxLayout;
    listingRow->addWidget(btExport);
    listingRow->addWidget(btPrint);
    grid->addLayout(listingRow, 3, 0);
    grid->addWidget(btReport, 3, 1);
    grid->addWidget(btEdit, 4, 0, 1, 2);
    auto* bottom = new QHBoxLayout;
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
}

bool TransferWindow::mayReplaceImage() { return !unsaved_ || unsaved_->confirmLoss(link_.messenger()); }

void TransferWindow::imageKept() {
    if (unsaved_) unsaved_->markKept();
}

void TransferWindow::btReadClick() {
    // Without a link the read only says so; nothing is lost to ask about.
    if (link_.linkConnected() && !mayReplaceImage()) return;
    if (transfer_.read()) {
        imageKept();
        forgetCompare();  // the image is now what the module holds
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
    const bool ok = transfer_.write();
    if (ok) imageKept();
    // Once blocks went out the module is no longer what the compare saw.
    using Step = ParameterTransfer::Failure::Step;
    const Step step = transfer_.failure().step;
    if (ok || step == Step::Write || step == Step::Commit) forgetCompare();
}

void TransferWindow::btOpenClick() {
    if (!mayReplaceImage()) return;
    for (int k = 0; k < kBlocks; ++k) paintBlock(k, BlockColour::Silver);
    const QString path = chooseFile(false);
    if (path.isEmpty()) return;
    if (transfer_.openFile(path)) imageKept();
    forgetCompareIfStale();
}

void TransferWindow::btSaveClick() {
    const QString path = chooseFile(true);
    if (path.isEmpty()) return;
    if (transfer_.saveFile(path)) imageKept();
}

void TransferWindow::btEditClick() {
    if (editorOpener_) editorOpener_(image_);
    forgetCompareIfStale();
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
