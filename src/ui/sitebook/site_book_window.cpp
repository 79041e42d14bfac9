#include "ui/sitebook/site_book_window.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "credentials/keychain_store.h"
#include "credentials/site_secret_keeper.h"
#include "fleet/snapshot_restore.h"
#include "link/messenger.h"
#include "params/code_fields.h"
#include "sheets/site_book_sheets.h"
#include "transfer/parameter_file.h"
#include "ui/sitebook/kept_secret_box.h"
#include "ui/sitebook/record_grid.h"
#include "ui/widgets/file_folders.h"

namespace corvanta {

using namespace sitebook;

namespace {

QString kindCaption(SnapshotKind kind) {
    switch (kind) {
    case SnapshotKind::Read: return QString::fromUtf8("beolvasás");
    case SnapshotKind::Written: return QString::fromUtf8("írás");
    case SnapshotKind::File: return QString::fromUtf8("fájl");
    case SnapshotKind::Manual: return QString::fromUtf8("kézi");
    }
    return {};
}

QString localTime(const QDateTime& utc) {
    return utc.toLocalTime().toString(QStringLiteral("yyyy.MM.dd. HH:mm:ss"));
}

void setRow(QTableWidget* grid, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}

// A code, before and after, only when the installer asked to see codes.
void fillChanges(QTableWidget* grid, const std::vector<WriteChange>& rows, bool showCodes) {
    grid->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const WriteChange& c = rows[std::size_t(r)];
        const bool code = codes::isCodePath(c.path.toStdString());
        auto shown = [&](const QString& v) {
            return code ? QString::fromStdString(codes::shownCode(v.toStdString(), showCodes)) : v;
        };
        setRow(grid, r, {c.caption, c.path, shown(c.before), shown(c.after)});
    }
    grid->resizeColumnsToContents();
}

// What a restore says as it goes: the site book's lines and the check.
class StatusView : public TransferView {
public:
    explicit StatusView(std::function<void(const QString&)> say) : say_(std::move(say)) {}
    void paintBlock(int, BlockColour) override {}
    void setOperationRunning(bool) override {}
    void showRecordNote(const QString& note) override { say_(note); }
    void showOutcome(const QString& text) override {
        if (!text.isEmpty()) say_(text);
    }

private:
    std::function<void(const QString&)> say_;
};

const QStringList kChangeTitles{QString::fromUtf8("Mező"), QString::fromUtf8("Útvonal"), QString::fromUtf8("Előtte"),
                                QString::fromUtf8("Utána")};

}  // namespace

SiteBookWindow::SiteBookWindow(ParameterImage& image, Messenger& messenger, QString bookPath, QWidget* parent)
    : QWidget(parent, Qt::Window), image_(image), messenger_(messenger), bookPath_(std::move(bookPath)) {
    setObjectName("FormSites");
    setWindowTitle(QString::fromUtf8("Helyszínek"));
    resize(960, 640);

    // Left: the sites.
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    edSearch_ = new QLineEdit(left);
    edSearch_->setObjectName("edSearch");
    edSearch_->setPlaceholderText(QString::fromUtf8("Keresés (név, cím, megjegyzés)"));
    edSearch_->setClearButtonEnabled(true);
    lbSites_ = new QListWidget(left);
    lbSites_->setObjectName("lbSites");
    // Several at once for a batch run; the current one is shown.
    lbSites_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    leftLayout->addWidget(edSearch_);
    leftLayout->addWidget(lbSites_, 1);
    btMoreSites_ = addButton("btMoreSites", QString::fromUtf8("További helyszínek"));
    leftLayout->addWidget(btMoreSites_);
    leftLayout->addWidget(addButton("btNewSite", QString::fromUtf8("Új helyszín")));
    // The sites the search finds, each with its latest read.
    siteList_ = std::make_unique<ListReport>(this, QString::fromUtf8("Helyszínek"), QStringLiteral("helyszinek"));
    siteList_->actions().setMessenger(&messenger_);
    siteList_->setSource(sheets::siteListColumns(), [this](const std::function<bool(const sheets::Row&)>& add) {
        if (!openBook()) return false;
        const auto reads = book_->latestReads();
        for (const Site& s : sites_) {
            const auto read = reads.find(s.id);
            if (!add(sheets::siteListRow(s, read == reads.end() ? QDateTime() : read->second))) return false;
        }
        return true;
    });
    leftLayout->addWidget(siteList_->buttons(QStringLiteral("Sites"), left));

    // Right, above: the site's details.
    auto* details = new QGroupBox(QString::fromUtf8("A helyszín adatai"), this);
    auto* form = new QFormLayout(details);
    auto edit = [details](const char* name) {
        auto* e = new QLineEdit(details);
        e->setObjectName(name);
        return e;
    };
    edName_ = edit("edName");
    edAddress_ = edit("edAddress");
    edNotes_ = new QPlainTextEdit(details);
    edNotes_->setObjectName("edNotes");
    edNotes_->setMaximumHeight(edNotes_->fontMetrics().height() * 4);
    edSerialPort_ = edit("edSerialPort");
    edModemNumber_ = edit("edModemNumber");
    edTcpHost_ = edit("edTcpHost");
    edTcpPort_ = new QSpinBox(details);
    edTcpPort_->setObjectName("edTcpPort");
    edTcpPort_->setRange(0, 65535);
    edTcpPort_->setSpecialValueText(QString::fromUtf8("alapértelmezett (8989)"));
    form->addRow(QString::fromUtf8("Név:"), edName_);
    form->addRow(QString::fromUtf8("Cím:"), edAddress_);
    form->addRow(QString::fromUtf8("Megjegyzés:"), edNotes_);
    form->addRow(QString::fromUtf8("Soros port:"), edSerialPort_);
    form->addRow(QString::fromUtf8("Modem telefonszám:"), edModemNumber_);
    form->addRow(QString::fromUtf8("TCP/IP cím:"), edTcpHost_);
    form->addRow(QString::fromUtf8("TCP port:"), edTcpPort_);
    auto* siteButtons = new QHBoxLayout;
    siteButtons->addWidget(addButton("btSaveSite", QString::fromUtf8("Adatok mentése")));
    siteButtons->addWidget(addButton("btChooseSite", QString::fromUtf8("Legyen ez a jelenlegi helyszín")));
    form->addRow(siteButtons);
    ownStore_ = std::make_unique<credentials::KeychainStore>();
    store_ = ownStore_.get();
    keptBox_ = new KeptSecretBox(messenger_, *store_, details);
    form->addRow(QString::fromUtf8("Megőrzött kód, jelszó:"), keptBox_);

    // Right, below: history, writes, differences.
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabsSite");
    auto* historyPage = new QWidget(tabs_);
    auto* historyLayout = new QVBoxLayout(historyPage);
    gridHistory_ = makeRecordGrid(historyPage, "gridHistory",
                            {QString::fromUtf8("Idő"), QString::fromUtf8("Fajta"), QString::fromUtf8("Modulverzió"),
                             QString::fromUtf8("Adatverzió"), QString::fromUtf8("Sorszám"),
                             QString::fromUtf8("Megjegyzés"), QString::fromUtf8("Ki")});
    gridHistory_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    historyLayout->addWidget(gridHistory_, 1);
    btMoreHistory_ = addButton("btMoreHistory", QString::fromUtf8("Régebbi pillanatképek"));
    historyLayout->addWidget(btMoreHistory_, 0, Qt::AlignLeft);
    auto* historyButtons = new QGridLayout;
    historyButtons->addWidget(addButton("btOpenSnapshot", QString::fromUtf8("Megnyitás a jelenlegi képbe")), 0, 0);
    historyButtons->addWidget(addButton("btExportSnapshot", QString::fromUtf8("Mentés paraméterfájlba")), 0, 1);
    historyButtons->addWidget(addButton("btCompareSnapshots", QString::fromUtf8("Két pillanatkép összehasonlítása")),
                              1, 0);
    historyButtons->addWidget(addButton("btCompareWithImage", QString::fromUtf8("Összehasonlítás a jelenlegi képpel")),
                              1, 1);
    edSnapshotNote_ = new QLineEdit(historyPage);
    edSnapshotNote_->setObjectName("edSnapshotNote");
    edSnapshotNote_->setPlaceholderText(QString::fromUtf8("Megjegyzés a pillanatképhez"));
    historyButtons->addWidget(edSnapshotNote_, 2, 0);
    historyButtons->addWidget(addButton("btManualSnapshot", QString::fromUtf8("Pillanatkép a jelenlegi képről")), 2, 1);
    historyButtons->addWidget(addButton("btRestoreSnapshot", QString::fromUtf8("Visszaállítás a modulra")), 3, 0);
    historyLayout->addLayout(historyButtons);
    tabs_->addTab(historyPage, QString::fromUtf8("Előzmények"));

    auto* writesPage = new QSplitter(Qt::Vertical, tabs_);
    gridWrites_ = makeRecordGrid(writesPage, "gridWrites",
                           {QString::fromUtf8("Idő"), QString::fromUtf8("Eredmény"), QString::fromUtf8("Blokkok"),
                            QString::fromUtf8("Változások"), QString::fromUtf8("Eredet"), QString::fromUtf8("Ki")});
    gridWrites_->setSelectionMode(QAbstractItemView::SingleSelection);
    gridWriteChanges_ = makeRecordGrid(writesPage, "gridWriteChanges", kChangeTitles);
    auto* writesList = new QWidget(writesPage);
    auto* writesListLayout = new QVBoxLayout(writesList);
    writesListLayout->setContentsMargins(0, 0, 0, 0);
    gridWrites_->setParent(writesList);
    writesListLayout->addWidget(gridWrites_, 1);
    btMoreWrites_ = addButton("btMoreWrites", QString::fromUtf8("Régebbi írások"));
    writesListLayout->addWidget(btMoreWrites_, 0, Qt::AlignLeft);
    writesPage->addWidget(writesList);
    writesPage->addWidget(gridWriteChanges_);
    // The writes shown, codes as the window shows them.
    writeList_ = std::make_unique<ListReport>(this, QString::fromUtf8("Írások"), QStringLiteral("irasok"));
    writeList_->actions().setMessenger(&messenger_);
    writeList_->setSource(sheets::auditColumns(), [this](const std::function<bool(const sheets::Row&)>& add) {
        for (const WriteRecord& w : writes_) {
            if (!add(sheets::auditRow(w, cbShowCodes_->isChecked()))) return false;
        }
        return true;
    });
    writesPage->addWidget(writeList_->buttons(QStringLiteral("Writes"), writesPage));
    tabs_->addTab(writesPage, QString::fromUtf8("Írások"));

    auto* diffPage = new QWidget(tabs_);
    auto* diffLayout = new QVBoxLayout(diffPage);
    lbDiffTitle_ = new QLabel(diffPage);
    lbDiffTitle_->setObjectName("lbDiffTitle");
    lbDiffTitle_->setWordWrap(true);
    gridDiff_ = makeRecordGrid(diffPage, "gridDiff", kChangeTitles);
    diffLayout->addWidget(lbDiffTitle_);
    diffLayout->addWidget(gridDiff_, 1);
    tabs_->addTab(diffPage, QString::fromUtf8("Eltérések"));

    events_ = new EventHistoryPage(bookPath_, messenger_, tabs_);
    tabs_->addTab(events_, QString::fromUtf8("Eseménynapló"));

    fleet_ = new FleetPanel(messenger_, bookPath_, tabs_);
    fleet_->setCredentialStore(store_);
    fleet_->setSiteSource([this] { return selectedSites(); });
    fleet_->setChangeSource([this](bool dryRun) { return changeFromImage(dryRun); });
    fleet_->setCodeSource([this] { return link_ ? link_->installerCode() : QString(); });
    connect(fleet_, &FleetPanel::runFinished, this, [this] {
        book_.reset();  // what the children stored is on other connections
        if (openBook()) showSite(lbSites_->currentRow());
    });
    tabs_->addTab(fleet_, QString::fromUtf8("Csoportos művelet"));

    // Codes in the writes and differences stay hidden unless asked for.
    cbShowCodes_ = new QCheckBox(QString::fromUtf8("Kódok mutatása"), this);
    cbShowCodes_->setObjectName("cbShowCodes");
    auto* right = new QVBoxLayout;
    right->addWidget(details);
    right->addWidget(tabs_, 1);
    right->addWidget(cbShowCodes_, 0, Qt::AlignRight);
    auto* body = new QHBoxLayout;
    body->addWidget(left, 1);
    body->addLayout(right, 3);

    lbStatus_ = new QLabel(this);
    lbStatus_->setObjectName("lbStatus");
    lbStatus_->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lbStatus_, 1);
    QPushButton* btClose = addButton("btClose", QString::fromUtf8("Bezárás"));
    bottom->addWidget(btClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    connect(edSearch_, &QLineEdit::textChanged, this, [this] { fillSites(); });
    connect(lbSites_, &QListWidget::currentRowChanged, this, [this](int row) { showSite(row); });
    connect(gridWrites_, &QTableWidget::itemSelectionChanged, this, [this] { showWriteChanges(); });
    connect(cbShowCodes_, &QCheckBox::toggled, this, [this] {
        showWriteChanges();
        fillChanges(gridDiff_, diffRows_, cbShowCodes_->isChecked());
    });
    connect(btClose, &QPushButton::clicked, this, &QWidget::hide);
    for (auto [name, slot] : std::initializer_list<std::pair<const char*, void (SiteBookWindow::*)()>>{
             {"btNewSite", &SiteBookWindow::btNewSiteClick},
             {"btSaveSite", &SiteBookWindow::btSaveSiteClick},
             {"btChooseSite", &SiteBookWindow::btChooseSiteClick},
             {"btOpenSnapshot", &SiteBookWindow::btOpenSnapshotClick},
             {"btExportSnapshot", &SiteBookWindow::btExportSnapshotClick},
             {"btCompareSnapshots", &SiteBookWindow::btCompareSnapshotsClick},
             {"btCompareWithImage", &SiteBookWindow::btCompareWithImageClick},
             {"btManualSnapshot", &SiteBookWindow::btManualSnapshotClick},
             {"btRestoreSnapshot", &SiteBookWindow::btRestoreSnapshotClick},
             {"btMoreSites", &SiteBookWindow::btMoreSitesClick},
             {"btMoreHistory", &SiteBookWindow::btMoreHistoryClick},
             {"btMoreWrites", &SiteBookWindow::btMoreWritesClick}}) {
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this, slot);
    }
    pageOnScroll(lbSites_, &SiteBookWindow::btMoreSitesClick);
    pageOnScroll(gridHistory_, &SiteBookWindow::btMoreHistoryClick);
    pageOnScroll(gridWrites_, &SiteBookWindow::btMoreWritesClick);
}

void SiteBookWindow::pageOnScroll(QAbstractItemView* list, void (SiteBookWindow::*more)()) {
    QScrollBar* bar = list->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this, bar, more](int value) {
        if (value > 0 && value == bar->maximum()) (this->*more)();
    });
}

SiteBookWindow::~SiteBookWindow() = default;

void SiteBookWindow::setCredentialStore(credentials::CredentialStore* store) {
    store_ = store;
    ownStore_.reset();
    keptBox_->setStore(*store_);
    fleet_->setCredentialStore(store_);
    keptBox_->showSite(book_.get(), bookPath_, current_);
}

void SiteBookWindow::applyRights(const sitebook::BookRights& rights) {
    for (const char* name : {"btRestoreSnapshot", "btManualSnapshot"})
        findChild<QPushButton*>(name)->setEnabled(rights.operateModules);
    for (const char* name : {"btNewSite", "btSaveSite"}) findChild<QPushButton*>(name)->setEnabled(rights.editSites);
    fleet_->setOperateModules(rights.operateModules);
    // A viewer's codes are masked by the server: nothing to show.
    cbShowCodes_->setEnabled(rights.seeCodes);
    if (!rights.seeCodes) cbShowCodes_->setChecked(false);
    setToolTip(rights.viewer() ? QString::fromUtf8("Szerepkör: %1 – csak olvasás, a kódok rejtve").arg(rights.role)
                               : QString());
}

QPushButton* SiteBookWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void SiteBookWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void SiteBookWindow::setStatus(const QString& text) { lbStatus_->setText(text); }
QString SiteBookWindow::statusText() const { return lbStatus_->text(); }

bool SiteBookWindow::openBook() {
    if (book_ && book_->isOpen()) return true;
    book_ = std::make_unique<SiteBook>();
    if (book_->open(bookPath_)) {
        applyRights(book_->rights());
        return true;
    }
    setStatus(QString::fromUtf8("A helyszínkönyv nem nyitható meg: ") + book_->error() + QStringLiteral(" (") +
              book_->path() + ')');
    book_.reset();
    return false;
}

void SiteBookWindow::refresh() {
    // A new connection each time: another program (corvanta-cli, say) may
    // have added to the book meanwhile.
    book_.reset();
    setStatus({});
    fillSites();
}

void SiteBookWindow::fillSites() {
    const QString keep = current_.name;
    sites_.clear();
    {
        const QSignalBlocker block(lbSites_);
        lbSites_->clear();
    }
    loadSites();
    int row = sites_.empty() ? -1 : 0;
    for (int i = 0; i < int(sites_.size()); ++i) {
        if (sites_[std::size_t(i)].name == keep) row = i;
    }
    {
        const QSignalBlocker block(lbSites_);
        lbSites_->setCurrentRow(row);
    }
    showSite(row);
}

namespace {

// The next page of a listing after the rows shown: one row more is asked
// for, to tell whether any remain.
template <typename Row, typename Each>
std::vector<Row> nextPage(std::size_t shown, int pageRows, SiteBook::Listing listing, bool& more, Each each) {
    std::vector<Row> page;
    listing.offset = qint64(shown);
    listing.limit = pageRows + 1;
    each(listing, [&page](const Row& row) {
        page.push_back(row);
        return true;
    });
    more = page.size() > std::size_t(pageRows);
    if (more) page.pop_back();
    return page;
}

}  // namespace

bool SiteBookWindow::loadSites() {
    moreSites_ = false;
    if (openBook()) {
        SiteBook::Listing listing;
        listing.search = edSearch_->text();
        const auto page = nextPage<Site>(sites_.size(), pageRows_, listing, moreSites_,
                                         [this](const auto& l, const auto& row) { return book_->eachSite(l, row); });
        const QSignalBlocker block(lbSites_);
        for (const Site& s : page) {
            sites_.push_back(s);
            lbSites_->addItem(s.name);
        }
        btMoreSites_->setEnabled(moreSites_);
        return !page.empty();
    }
    btMoreSites_->setEnabled(false);
    return false;
}

void SiteBookWindow::btMoreSitesClick() {
    if (!moreSites_) return;
    loadSites();
}

QStringList SiteBookWindow::siteNames() const {
    QStringList names;
    for (const Site& s : sites_) names << s.name;
    return names;
}

void SiteBookWindow::selectSite(const QString& name) {
    auto shown = [this, &name] {
        return std::find_if(sites_.begin(), sites_.end(), [&name](const Site& s) { return s.name == name; });
    };
    while (shown() == sites_.end() && moreSites_ && loadSites()) {
    }
    if (const auto it = shown(); it != sites_.end()) lbSites_->setCurrentRow(int(it - sites_.begin()));
}

void SiteBookWindow::setFleetProgram(const QString& path) { fleet_->setProgram(path); }

void SiteBookWindow::selectSites(const QStringList& names) {
    auto allShown = [this, &names] {
        return std::all_of(names.begin(), names.end(), [this](const QString& name) {
            return std::any_of(sites_.begin(), sites_.end(), [&name](const Site& s) { return s.name == name; });
        });
    };
    while (!allShown() && moreSites_ && loadSites()) {
    }
    lbSites_->clearSelection();
    bool first = true;
    for (int i = 0; i < int(sites_.size()); ++i) {
        if (!names.contains(sites_[std::size_t(i)].name)) continue;
        if (first) lbSites_->setCurrentRow(i, QItemSelectionModel::ClearAndSelect);
        lbSites_->item(i)->setSelected(true);
        first = false;
    }
}

std::vector<Site> SiteBookWindow::selectedSites() const {
    std::vector<Site> chosen;
    for (int i = 0; i < lbSites_->count() && i < int(sites_.size()); ++i) {
        if (lbSites_->item(i)->isSelected()) chosen.push_back(sites_[std::size_t(i)]);
    }
    return chosen;
}

void SiteBookWindow::showSite(int row) {
    current_ = row >= 0 && row < int(sites_.size()) ? sites_[std::size_t(row)] : Site{};
    edName_->setText(current_.name);
    edAddress_->setText(current_.address);
    edNotes_->setPlainText(current_.notes);
    edSerialPort_->setText(current_.serialPort);
    edModemNumber_->setText(current_.modemNumber);
    edTcpHost_->setText(current_.tcpHost);
    edTcpPort_->setValue(current_.tcpPort);
    keptBox_->showSite(book_.get(), bookPath_, current_);
    fillHistory();
    fillWrites();
    events_->showSite(current_.id ? std::optional<Site>(current_) : std::nullopt);
}

void SiteBookWindow::fillHistory() {
    history_.clear();
    gridHistory_->setRowCount(0);
    installation_ = current_.id && book_ ? book_->installationSnapshots(current_.id) : std::set<qint64>{};
    loadHistory();
}

bool SiteBookWindow::loadHistory() {
    moreHistory_ = false;
    std::vector<SnapshotInfo> page;
    if (current_.id && book_) {
        SiteBook::Listing listing;
        listing.siteId = current_.id;
        page = nextPage<SnapshotInfo>(history_.size(), pageRows_, listing, moreHistory_,
                                      [this](const auto& l, const auto& row) { return book_->eachSnapshot(l, row); });
    }
    btMoreHistory_->setEnabled(moreHistory_);
    int r = int(history_.size());
    gridHistory_->setRowCount(r + int(page.size()));
    for (const SnapshotInfo& h : page) {
        setRow(gridHistory_, r++,
               {localTime(h.takenAt),
                // The site's first read, kept as it was installed.
                installation_.count(h.id) ? QString::fromUtf8("telepítési beolvasás") : kindCaption(h.kind),
                h.moduleVersion,
                h.dataVersion < 0 ? QString() : QString::number(h.dataVersion), QStringLiteral("@%1").arg(h.id),
                h.note, whoLine(h.who)});
        history_.push_back(h);
    }
    gridHistory_->resizeColumnsToContents();
    return !page.empty();
}

void SiteBookWindow::btMoreHistoryClick() {
    if (moreHistory_) loadHistory();
}

void SiteBookWindow::fillWrites() {
    writes_.clear();
    {
        const QSignalBlocker block(gridWrites_);
        gridWrites_->setRowCount(0);
    }
    loadWrites();
    gridWrites_->clearSelection();
    showWriteChanges();
}

bool SiteBookWindow::loadWrites() {
    moreWrites_ = false;
    std::vector<WriteRecord> page;
    if (current_.id && book_) {
        SiteBook::Listing listing;
        listing.siteId = current_.id;
        page = nextPage<WriteRecord>(writes_.size(), pageRows_, listing, moreWrites_,
                                     [this](const auto& l, const auto& row) { return book_->eachWrite(l, row); });
    }
    btMoreWrites_->setEnabled(moreWrites_);
    const QSignalBlocker block(gridWrites_);
    int r = int(writes_.size());
    gridWrites_->setRowCount(r + int(page.size()));
    for (WriteRecord& w : page) {
        setRow(gridWrites_, r++,
               {localTime(w.at),
                // Not settled: the program died after the commit went out.
                QString::fromUtf8(!w.settled ? "ismeretlen kimenetel" : w.ok ? "sikeres" : "sikertelen"), w.blocks,
                QString::number(w.changes.size()), originText(w), whoLine(w.who)});
        writes_.push_back(std::move(w));
    }
    gridWrites_->resizeColumnsToContents();
    return !page.empty();
}

void SiteBookWindow::btMoreWritesClick() {
    if (moreWrites_) loadWrites();
}

QString SiteBookWindow::originText(const WriteRecord& w) {
    const WriteOrigin& o = w.origin;
    QStringList parts;
    if (o.batchId) parts << QString::fromUtf8("%1. csoport").arg(*o.batchId);
    if (o.restoredSnapshot) {
        parts << QString::fromUtf8("visszaállítás: @%1").arg(*o.restoredSnapshot);
        if (o.restoredSite != w.site) parts.back() += QString::fromUtf8(" (%1 helyszín pillanatképe)").arg(o.restoredSite);
    }
    return parts.join(QStringLiteral(", "));
}

void SiteBookWindow::showWriteChanges() {
    const auto rows = gridWrites_->selectionModel()->selectedRows();
    const int r = rows.isEmpty() ? -1 : rows.first().row();
    fillChanges(gridWriteChanges_,
                r >= 0 && r < int(writes_.size()) ? writes_[std::size_t(r)].changes : std::vector<WriteChange>{},
                cbShowCodes_->isChecked());
}

std::vector<qint64> SiteBookWindow::selectedSnapshots() const {
    std::vector<qint64> ids;
    for (const QModelIndex& index : gridHistory_->selectionModel()->selectedRows()) {
        if (index.row() < int(history_.size())) ids.push_back(history_[std::size_t(index.row())].id);
    }
    // Oldest first, whatever order they were picked in.
    std::sort(ids.begin(), ids.end());
    return ids;
}

void SiteBookWindow::selectSnapshots(const std::vector<qint64>& ids) {
    gridHistory_->clearSelection();
    for (int r = 0; r < int(history_.size()); ++r) {
        if (std::find(ids.begin(), ids.end(), history_[std::size_t(r)].id) == ids.end()) continue;
        gridHistory_->selectionModel()->select(gridHistory_->model()->index(r, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

Site SiteBookWindow::siteFromFields() const {
    Site s = current_;
    s.name = edName_->text().trimmed();
    s.address = edAddress_->text();
    s.notes = edNotes_->toPlainText();
    s.serialPort = edSerialPort_->text().trimmed();
    s.modemNumber = edModemNumber_->text().trimmed();
    s.tcpHost = edTcpHost_->text().trimmed();
    s.tcpPort = edTcpPort_->value();
    return s;
}

void SiteBookWindow::btNewSiteClick() {
    const QSignalBlocker block(lbSites_);
    lbSites_->clearSelection();
    lbSites_->setCurrentRow(-1);
    showSite(-1);
    edName_->setFocus();
}

void SiteBookWindow::btSaveSiteClick() {
    if (!openBook()) return;
    Site s = siteFromFields();
    if (s.name.isEmpty()) {
        messenger_.showMessage(QString::fromUtf8("Adja meg a helyszín nevét!"));
        return;
    }
    if (!book_->saveSite(s)) {
        messenger_.showMessage(book_->error());
        return;
    }
    if (current_.id == s.id && current_.name != s.name) keptBox_->siteRenamed(current_, s);
    current_ = s;
    fillSites();
    setStatus(QString::fromUtf8("A helyszín adatai elmentve."));
}

void SiteBookWindow::btChooseSiteClick() {
    if (!current_.id) {
        messenger_.showMessage(QString::fromUtf8("Válasszon vagy mentsen el egy helyszínt!"));
        return;
    }
    emit currentSiteChosen(current_);
    setStatus(QString::fromUtf8("Jelenlegi helyszín: ") + current_.name);
}

std::optional<Snapshot> SiteBookWindow::chosenSnapshot() {
    const auto ids = selectedSnapshots();
    if (ids.size() != 1 || !openBook()) {
        messenger_.showMessage(QString::fromUtf8("Válasszon ki egy pillanatképet!"));
        return std::nullopt;
    }
    auto snapshot = book_->snapshot(ids.front());
    if (!snapshot) messenger_.showMessage(book_->error());
    return snapshot;
}

void SiteBookWindow::btOpenSnapshotClick() {
    const auto snapshot = chosenSnapshot();
    if (!snapshot) return;
    if (confirmReplace_ && !confirmReplace_()) return;
    image_ = snapshot->image;
    openedSnapshot_ = snapshot->info.id;
    emit imageReplaced();
    setStatus(QString::fromUtf8("A @%1 pillanatkép a jelenlegi képbe töltve.").arg(snapshot->info.id));
}

void SiteBookWindow::btCompareSnapshotsClick() {
    const auto ids = selectedSnapshots();
    if (ids.size() != 2 || !openBook()) {
        messenger_.showMessage(QString::fromUtf8("Válasszon ki két pillanatképet!"));
        return;
    }
    const auto older = book_->snapshot(ids[0]);
    const auto newer = book_->snapshot(ids[1]);
    if (!older || !newer) {
        messenger_.showMessage(book_->error());
        return;
    }
    showDiff(QString::fromUtf8("@%1 → @%2").arg(ids[0]).arg(ids[1]), diff(older->image, newer->image));
}

void SiteBookWindow::btCompareWithImageClick() {
    const auto snapshot = chosenSnapshot();
    if (!snapshot) return;
    showDiff(QString::fromUtf8("@%1 → jelenlegi kép").arg(snapshot->info.id), diff(snapshot->image, image_));
}

void SiteBookWindow::showDiff(const QString& title, const ImageDiff& d) {
    diffRows_ = changeRows(d);
    lbDiffTitle_->setText(d.equal() ? title + QString::fromUtf8(": nincs eltérés")
                                    : title + QString::fromUtf8(": %1 eltérés").arg(diffRows_.size()));
    fillChanges(gridDiff_, diffRows_, cbShowCodes_->isChecked());
    tabs_->setCurrentIndex(2);
}

void SiteBookWindow::btExportSnapshotClick() {
    const auto snapshot = chosenSnapshot();
    if (!snapshot) return;
    QString path;
    if (fileChooser_) {
        path = fileChooser_();
    } else {
        QFileDialog dialog(this, QString(), QString(), QStringLiteral("GSM Corvanta Data File ver.2 (*.CD2 *.cd2)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("CD2"));
        path = runFileDialog(dialog, FileKind::ParameterFile, QStringLiteral("*.CD2"));
    }
    if (path.isEmpty()) return;
    if (auto error = saveParameterFile(path, snapshot->image)) {
        messenger_.showMessage(*error);
        return;
    }
    rememberFolder(FileKind::ParameterFile, path);
    setStatus(QString::fromUtf8("A @%1 pillanatkép elmentve: %2").arg(snapshot->info.id).arg(path));
}

void SiteBookWindow::btManualSnapshotClick() {
    if (!current_.id || !openBook()) {
        messenger_.showMessage(QString::fromUtf8("Válasszon vagy mentsen el egy helyszínt!"));
        return;
    }
    const auto id = book_->addSnapshot(current_.id, SnapshotKind::Manual, image_, {}, -1, edSnapshotNote_->text());
    if (!id) {
        messenger_.showMessage(book_->error());
        return;
    }
    edSnapshotNote_->clear();
    fillHistory();
    setStatus(QString::fromUtf8("A jelenlegi kép elmentve: @%1").arg(*id));
}

void SiteBookWindow::btRestoreSnapshotClick() {
    const auto snapshot = chosenSnapshot();
    if (!snapshot) return;
    if (!link_) {
        messenger_.showMessage(QString::fromUtf8(" Nincs soros kapcsolat."));
        return;
    }
    // One at a time: the read and the write wait for the module with the
    // window's events running.
    auto* button = findChild<QPushButton*>(QStringLiteral("btRestoreSnapshot"));
    button->setEnabled(false);
    const auto enableAgain = qScopeGuard([button] { button->setEnabled(true); });
    // With no code typed in the main window, the site's kept one, as a
    // batch run and corvanta-cli restore take it; the field's own text comes
    // back afterwards unless it was typed meanwhile.
    const QString typed = link_->installerCode();
    const QString kept = typed.isEmpty() ? keptInstallerCode() : QString();
    if (!kept.isEmpty()) link_->setInstallerCode(kept);
    const auto putBack = qScopeGuard([this, &typed, &kept] {
        if (!kept.isEmpty() && link_->installerCode() == kept) link_->setInstallerCode(typed);
    });
    StatusView view([this](const QString& line) { setStatus(line); });
    fleet::SnapshotRestore restore(*link_, view, bookPath_);
    restore.setTarget(current_);
    const qint64 id = snapshot->info.id;
    const auto confirm = [&](const Snapshot&, const std::vector<WriteChange>& rows) {
        diffRows_ = rows;
        lbDiffTitle_->setText(QString::fromUtf8("modul → @%1: %2 eltérés").arg(id).arg(rows.size()));
        fillChanges(gridDiff_, diffRows_, cbShowCodes_->isChecked());
        tabs_->setCurrentIndex(2);
        return messenger_.askYesNo(QString::fromUtf8("A modul %1 mezőben tér el a @%2 pillanatképtől (lásd az "
                                                     "„Eltérések” lapon). Visszaállítja a pillanatképet a modulra?")
                                       .arg(rows.size())
                                       .arg(id));
    };
    using Result = fleet::SnapshotRestore::Result;
    const Result result = restore.run(id, confirm);
    book_.reset();  // the read and the write went in on connections of their own
    if (openBook()) showSite(lbSites_->currentRow());
    switch (result) {
    case Result::Restored:
        setStatus(QString::fromUtf8("A @%1 pillanatkép a modulra került; visszaolvasva a modul a küldött adatokat "
                                    "tartja.")
                      .arg(id));
        break;
    case Result::AlreadyHeld:
        setStatus(QString::fromUtf8("A modul már a @%1 pillanatképet tartja; nem történt írás.").arg(id));
        break;
    case Result::Declined: setStatus(QString::fromUtf8("Nem történt írás.")); break;
    case Result::OtherSite:
    case Result::Refused: messenger_.showMessage(restore.why()); break;
    case Result::Failed:
        setStatus(QString::fromUtf8("A visszaállítás nem sikerült") +
                  (restore.why().isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + restore.why()));
        break;
    }
}

QString SiteBookWindow::keptInstallerCode() {
    if (!store_ || !openBook()) return {};
    credentials::SiteSecretKeeper keeper(*book_, *store_, bookPath_);
    const auto kept = keeper.load(current_);
    return kept ? kept->installerCode : QString();
}

std::optional<FleetPanel::Change> SiteBookWindow::changeFromImage(bool dryRun) {
    if (!openedSnapshot_ || !openBook()) {
        messenger_.showMessage(QString::fromUtf8(
            "A változtatás a jelenlegi kép eltérése attól a pillanatképtől, amelyet a „Megnyitás a jelenlegi képbe” "
            "gombbal nyitott meg: nyisson meg egyet, módosítsa a szerkesztőben, majd indítsa újra."));
        return std::nullopt;
    }
    const auto base = book_->snapshot(*openedSnapshot_);
    if (!base) {
        messenger_.showMessage(book_->error());
        return std::nullopt;
    }
    const ImageDiff d = diff(base->image, image_);
    if (d.changes.empty()) {
        messenger_.showMessage(QString::fromUtf8("A jelenlegi kép egyetlen mezőben sem tér el a @%1 pillanatképtől: "
                                                 "nincs mit alkalmazni.")
                                   .arg(*openedSnapshot_));
        return std::nullopt;
    }
    FleetPanel::Change change{fleet::changeBetween(base->image, image_), {}};
    QStringList paths;
    for (const FieldChange& c : d.changes) paths << QString::fromStdString(c.field->path);
    change.description = QStringLiteral("the fields changed since @%1: %2")
                             .arg(QString::number(*openedSnapshot_), paths.join(QStringLiteral(", ")));
    showDiff(QString::fromUtf8("@%1 → jelenlegi kép").arg(*openedSnapshot_), d);
    if (dryRun) return change;
    const bool yes = messenger_.askYesNo(
        QString::fromUtf8("A kiválasztott helyszínek moduljain ez a %1 mező kapja a jelenlegi kép értékét (lásd az "
                          "„Eltérések” lapon); minden más marad, ahogy a modul tartja. Folytatja?")
            .arg(d.changes.size()));
    tabs_->setCurrentWidget(fleet_);
    if (!yes) return std::nullopt;
    return change;
}

}  // namespace corvanta
