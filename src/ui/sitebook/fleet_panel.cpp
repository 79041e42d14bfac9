#include "ui/sitebook/fleet_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include <map>

#include "credentials/site_secret_keeper.h"
#include "fleet/fleet_selection.h"
#include "link/messenger.h"
#include "params/code_fields.h"
#include "ui/sitebook/record_grid.h"

namespace corvanta {

namespace {

QString resultCaption(const QString& result) {
    static const std::pair<const char*, const char*> captions[] = {
        {"ok", "kész"},
        {"failed", "sikertelen"},
        {"changed", "változott"},
        {"unchanged", "változatlan"},
        {"spooled", "a helyszínkönyvre vár"},
        {"stored", "tárolva"},
        {"skipped", "kihagyva"},
        {"would-change", "változna"},
        {"left", "érintetlenül hagyva"},
        {"cancelled", "megszakítva"},
    };
    for (const auto& [code, caption] : captions) {
        if (result == QLatin1String(code)) return QString::fromUtf8(caption);
    }
    return result;
}

// One site at a time: its fields show beside it.
QTableWidget* makeFleetGrid(QWidget* parent, const char* name, const QStringList& titles) {
    QTableWidget* grid = makeRecordGrid(parent, name, titles);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    return grid;
}

// Beside the program, as the package installs them; else on the PATH.
QString defaultProgram() {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("corvanta-cli"));
    if (QFileInfo(beside).isExecutable()) return beside;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("corvanta-cli"));
    return onPath.isEmpty() ? beside : onPath;
}

}  // namespace

FleetPanel::FleetPanel(Messenger& messenger, QString bookPath, QWidget* parent)
    : QWidget(parent), messenger_(messenger), bookPath_(std::move(bookPath)), program_(defaultProgram()) {
    setObjectName("FleetPanel");
    cbFleetJob_ = new QComboBox(this);
    cbFleetJob_->setObjectName("cbFleetJob");
    cbFleetJob_->addItems({QString::fromUtf8("Beolvasás a helyszínkönyvbe"),
                           QString::fromUtf8("Összehasonlítás a legutóbbi pillanatképpel"),
                           QString::fromUtf8("Óra beállítása a számítógép idejére"),
                           QString::fromUtf8("Változtatás alkalmazása")});
    cbFleetDryRun_ = new QCheckBox(QString::fromUtf8("Csak próba: megmutatja, mi változna, nem ír"), this);
    cbFleetDryRun_->setObjectName("cbFleetDryRun");
    cbFleetForce_ = new QCheckBox(QString::fromUtf8("Akkor is, ha a modul a legutóbbi beolvasás óta változott"), this);
    cbFleetForce_->setObjectName("cbFleetForce");
    edFleetCode_ = new QLineEdit(this);
    edFleetCode_->setObjectName("edFleetCode");
    edFleetCode_->setEchoMode(QLineEdit::Password);
    edFleetCode_->setMaxLength(6);
    edFleetCode_->setPlaceholderText(QString::fromUtf8("a főablakba írt, ha üres"));
    edFleetPassword_ = new QLineEdit(this);
    edFleetPassword_->setObjectName("edFleetPassword");
    edFleetPassword_->setEchoMode(QLineEdit::Password);
    edFleetPassword_->setPlaceholderText(QString::fromUtf8("a TCP/IP-n elért moduloké"));
    edFleetJobs_ = new QSpinBox(this);
    edFleetJobs_->setObjectName("edFleetJobs");
    edFleetJobs_->setRange(1, fleet::kMostJobs);
    edFleetJobs_->setValue(fleet::kDefaultJobs);
    // Compact: the window fits a laptop's screen with this page open.
    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QString::fromUtf8("Művelet:"), this), 0, 0);
    form->addWidget(cbFleetJob_, 0, 1, 1, 5);
    form->addWidget(cbFleetDryRun_, 1, 1, 1, 2);
    form->addWidget(cbFleetForce_, 1, 3, 1, 3);
    form->addWidget(new QLabel(QString::fromUtf8("Telepítői kód:"), this), 2, 0);
    form->addWidget(edFleetCode_, 2, 1);
    form->addWidget(new QLabel(QString::fromUtf8("TCP/IP jelszó:"), this), 2, 2);
    form->addWidget(edFleetPassword_, 2, 3);
    form->addWidget(new QLabel(QString::fromUtf8("Egyszerre:"), this), 2, 4);
    form->addWidget(edFleetJobs_, 2, 5);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    btFleetStart_ = new QPushButton(QString::fromUtf8("Indítás a kiválasztott helyszíneken"), this);
    btFleetStart_->setObjectName("btFleetStart");
    btFleetStart_->setAutoDefault(false);
    btFleetCancel_ = new QPushButton(QString::fromUtf8("Megszakítás"), this);
    btFleetCancel_->setObjectName("btFleetCancel");
    btFleetCancel_->setAutoDefault(false);
    btFleetCancel_->setEnabled(false);
    pbFleet_ = new QProgressBar(this);
    pbFleet_->setObjectName("pbFleet");
    pbFleet_->setRange(0, 1);
    pbFleet_->setValue(0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btFleetStart_);
    buttons->addWidget(btFleetCancel_);
    buttons->addWidget(pbFleet_, 1);

    // A site's fields beside its line.
    auto* results = new QSplitter(Qt::Horizontal, this);
    gridFleet_ = makeFleetGrid(results, "gridFleet",
                          {QString::fromUtf8("Helyszín"), QString::fromUtf8("Eredmény"), QString::fromUtf8("Idő (s)"),
                           QString::fromUtf8("Részletek")});
    gridFleetChanges_ = makeFleetGrid(results, "gridFleetChanges",
                                 {QString::fromUtf8("Mező"), QString::fromUtf8("Útvonal"), QString::fromUtf8("Előtte"),
                                  QString::fromUtf8("Utána")});
    results->addWidget(gridFleet_);
    results->addWidget(gridFleetChanges_);
    lbFleetStatus_ = new QLabel(this);
    lbFleetStatus_->setObjectName("lbFleetStatus");
    lbFleetStatus_->setWordWrap(true);

    auto* hint = new QLabel(this);
    hint->setObjectName("lbFleetHint");
    hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(results, 1);
    layout->addWidget(lbFleetStatus_);

    const auto jobChanged = [this, hint] {
        const bool apply = cbFleetJob_->currentIndex() == int(Job::Apply);
        cbFleetDryRun_->setEnabled(apply);
        cbFleetForce_->setEnabled(apply);
        QString text = QString::fromUtf8("A bal oldali listában kiválasztott helyszíneken (többet a Ctrl vagy a "
                                         "Shift billentyűvel), mindegyiken a saját kapcsolatán.");
        if (apply)
            text += QString::fromUtf8(" A változtatás: a jelenlegi kép azon mezői, amelyekben eltér a legutóbb "
                                      "megnyitott pillanatképtől; minden más marad, ahogy a modul tartja.");
        hint->setText(text);
        updateStart();
    };
    connect(cbFleetJob_, &QComboBox::currentIndexChanged, this, jobChanged);
    jobChanged();
    connect(btFleetStart_, &QPushButton::clicked, this, &FleetPanel::btFleetStartClick);
    connect(btFleetCancel_, &QPushButton::clicked, this, &FleetPanel::btFleetCancelClick);
    connect(gridFleet_, &QTableWidget::itemSelectionChanged, this, [this] { showChanges(); });
}

FleetPanel::~FleetPanel() = default;

void FleetPanel::chooseJob(Job job) { cbFleetJob_->setCurrentIndex(int(job)); }

QString FleetPanel::statusText() const { return lbFleetStatus_->text(); }

void FleetPanel::btFleetStartClick() {
    if (running()) return;
    const std::vector<sitebook::Site> chosen = siteSource_ ? siteSource_() : std::vector<sitebook::Site>{};
    if (chosen.empty()) {
        messenger_.showMessage(QString::fromUtf8("Válasszon ki egy vagy több helyszínt a listában!"));
        return;
    }
    std::vector<fleet::FleetSite> sites;
    QStringList noLink;
    for (const sitebook::Site& s : chosen) {
        fleet::FleetSite site = fleet::fleetSite(s);
        if (fleet::hasLink(site))
            sites.push_back(std::move(site));
        else
            noLink << s.name;
    }
    if (!noLink.isEmpty()) {
        messenger_.showMessage(QString::fromUtf8("Ezeknek a helyszíneknek nincs megadva soros portja vagy TCP/IP "
                                                 "címe: %1")
                                   .arg(noLink.join(QStringLiteral(", "))));
        return;
    }
    QString code = edFleetCode_->text();
    if (code.isEmpty() && codeSource_) code = codeSource_();
    // A site with a kept code needs none given.
    auto kept = keptSecretTeller();
    if (code.isEmpty()) {
        QStringList without;
        for (const fleet::FleetSite& s : sites) {
            if (!kept || kept(s.name).installerCode.isEmpty()) without << s.name;
        }
        if (!without.isEmpty()) {
            messenger_.showMessage(QString::fromUtf8("Adja meg a telepítői kódot! Ezeknek a helyszíneknek nincs "
                                                     "megőrzött kódja: %1")
                                       .arg(without.join(QStringLiteral(", "))));
            return;
        }
    }

    const auto job = Job(cbFleetJob_->currentIndex());
    fleet::FleetOptions o;
    o.operation = job == Job::Read      ? fleet::Operation::Read
                  : job == Job::Compare ? fleet::Operation::Compare
                  : job == Job::Clock   ? fleet::Operation::Clock
                                        : fleet::Operation::Apply;
    o.jobs = edFleetJobs_->value();
    o.program = program_;
    o.bookLocation = bookPath_;
    if (job == Job::Clock) o.clockSet = QStringLiteral("now");
    if (job == Job::Apply) {
        o.dryRun = cbFleetDryRun_->isChecked();
        o.force = cbFleetForce_->isChecked();
        const auto change = changeSource_ ? changeSource_(o.dryRun) : std::nullopt;
        if (!change) return;
        o.change = change->change;
        o.changeText = change->description;
    }
    o.environment.insert(QStringLiteral("CORVANTA_CODE"), code);
    o.keptSecret = kept;
    if (!edFleetPassword_->text().isEmpty())
        o.environment.insert(QStringLiteral("CORVANTA_PASSWORD"), edFleetPassword_->text());

    outcomes_.clear();
    gridFleet_->setRowCount(0);
    gridFleetChanges_->setRowCount(0);
    pbFleet_->setRange(0, int(sites.size()));
    pbFleet_->setValue(0);
    lbFleetStatus_->setText(QString::fromUtf8("Fut: %1 helyszín").arg(sites.size()));
    run_ = std::make_unique<fleet::FleetRun>(std::move(sites), std::move(o));
    connect(run_.get(), &fleet::FleetRun::siteFinished, this, &FleetPanel::addOutcome);
    connect(run_.get(), &fleet::FleetRun::progressed, pbFleet_, &QProgressBar::setValue);
    connect(run_.get(), &fleet::FleetRun::notice, this, [this](const QString& line) {
        fleet::SiteOutcome note;
        note.detail = line;
        addOutcome(note);
    });
    connect(run_.get(), &fleet::FleetRun::finished, this, &FleetPanel::finished);
    setRunning(true);
    if (!run_->start()) {
        setRunning(false);
        lbFleetStatus_->setText(run_->error());
        messenger_.showMessage(run_->error());
    }
}

void FleetPanel::btFleetCancelClick() {
    if (!running()) return;
    lbFleetStatus_->setText(QString::fromUtf8("Megszakítva: a már futó helyszínek befejeződnek, új nem indul."));
    run_->cancel();
}

void FleetPanel::addOutcome(const fleet::SiteOutcome& o) {
    outcomes_.push_back(o);
    const int row = gridFleet_->rowCount();
    gridFleet_->insertRow(row);
    const QStringList cells{o.site, o.result.isEmpty() ? QString() : resultCaption(o.result),
                            o.result.isEmpty() ? QString() : QString::number(o.seconds, 'f', 1), o.detail};
    for (int c = 0; c < cells.size(); ++c) gridFleet_->setItem(row, c, new QTableWidgetItem(cells[c]));
    gridFleet_->scrollToBottom();
}

void FleetPanel::showChanges() {
    const auto rows = gridFleet_->selectionModel()->selectedRows();
    const int r = rows.isEmpty() ? -1 : rows.first().row();
    const std::vector<sitebook::WriteChange> none;
    const auto& changes = r >= 0 && r < int(outcomes_.size()) ? outcomes_[std::size_t(r)].changes : none;
    gridFleetChanges_->setRowCount(int(changes.size()));
    for (int i = 0; i < int(changes.size()); ++i) {
        const sitebook::WriteChange& c = changes[std::size_t(i)];
        // Codes stay hidden here: the page is for many sites at once.
        const bool code = codes::isCodePath(c.path.toStdString());
        auto shown = [&](const QString& v) {
            return code ? QString::fromStdString(codes::shownCode(v.toStdString(), false)) : v;
        };
        const QStringList cells{c.caption, c.path, shown(c.before), shown(c.after)};
        for (int col = 0; col < cells.size(); ++col)
            gridFleetChanges_->setItem(i, col, new QTableWidgetItem(cells[col]));
    }
    gridFleetChanges_->resizeColumnsToContents();
}

void FleetPanel::finished() {
    setRunning(false);
    gridFleet_->resizeColumnsToContents();
    const auto& c = run_->counts();
    QString text = QString::fromUtf8("%1 helyszín: %2 sikeres, %3 sikertelen")
                       .arg(c.sites)
                       .arg(c.succeeded())
                       .arg(c.failed);
    if (c.skipped > 0) text += QString::fromUtf8(", %1 kihagyva vagy megszakítva").arg(c.skipped);
    if (c.spooled > 0 || c.waiting > 0)
        text += QString::fromUtf8(", %1 beolvasás a helyszínkönyvre vár").arg(std::max(c.spooled, c.waiting));
    text += QStringLiteral(".");
    if (const auto batch = run_->batchId())
        text += QString::fromUtf8(" Csoport: %1 (visszavonás: corvanta-cli fleet undo %1).").arg(*batch);
    else if (run_->options().dryRun)
        text += QString::fromUtf8(" Próba volt: semmi sem került a modulokba.");
    lbFleetStatus_->setText(text);
    emit runFinished();
}

void FleetPanel::setRunning(bool running) {
    btFleetCancel_->setEnabled(running);
    cbFleetJob_->setEnabled(!running);
    updateStart();
}

void FleetPanel::setOperateModules(bool on) {
    operate_ = on;
    updateStart();
}

void FleetPanel::updateStart() {
    // A read stores, a clock or an apply writes: a viewer compares only.
    btFleetStart_->setEnabled(!running() && (operate_ || cbFleetJob_->currentIndex() == int(Job::Compare)));
}

std::function<sitebook::SiteSecret(const QString&)> FleetPanel::keptSecretTeller() {
    struct Teller {
        sitebook::SiteBook book;
        std::unique_ptr<credentials::SiteSecretKeeper> keeper;
        std::map<QString, sitebook::SiteSecret> asked;  // each site asked once
        bool said = false;
    };
    auto teller = std::make_shared<Teller>();
    if (!store_ || !teller->book.open(bookPath_)) return {};
    teller->keeper = std::make_unique<credentials::SiteSecretKeeper>(teller->book, *store_, bookPath_);
    Messenger* messenger = &messenger_;
    return [teller, messenger](const QString& name) -> sitebook::SiteSecret {
        if (const auto it = teller->asked.find(name); it != teller->asked.end()) return it->second;
        sitebook::SiteSecret& answer = teller->asked[name];
        const auto site = teller->book.findSite(name);
        if (!site) return answer;
        if (const auto kept = teller->keeper->load(*site)) return answer = *kept;
        if (!teller->said) {
            teller->said = true;
            messenger->showMessage(teller->keeper->error() +
                                   QString::fromUtf8(". A megadott telepítői kód és jelszó érvényes minden helyszínre."));
        }
        return {};
    };
}

}  // namespace corvanta
