#pragma once
// The "Helyszínek" window: the sites of the site book with a search box, a
// site's details and how its module is reached, its history newest first
// and its writes. A snapshot can be opened into the program's image, saved
// as a parameter file, or compared with another snapshot or with the image;
// the chosen site becomes the one reads and writes are recorded for. The
// site list, the history and the writes are read a page at a time: the next
// page comes when the list is scrolled to its end or its "more" button is
// pressed, so a book kept for years opens as fast as a new one.

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "params/image_diff.h"
#include "params/parameter_image.h"
#include "sitebook/site_book.h"
#include "credentials/credential_store.h"
#include "ui/reports/list_report.h"
#include "ui/sitebook/event_history_page.h"
#include "ui/sitebook/fleet_panel.h"

class QAbstractItemView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace corvanta {

class Messenger;
class ModuleLink;

class SiteBookWindow : public QWidget {
    Q_OBJECT
public:
    SiteBookWindow(ParameterImage& image, Messenger& messenger, QString bookPath = sitebook::SiteBook::defaultPath(),
                   QWidget* parent = nullptr);
    ~SiteBookWindow() override;

    // Asked before a snapshot replaces the image; true: go ahead. Without
    // one the image is replaced at once.
    void setImageGuard(std::function<bool()> confirm) { confirmReplace_ = std::move(confirm); }
    // Returns the path to save to, or an empty one when the user cancelled.
    using FileChooser = std::function<QString()>;
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }

    // The program's link, which "Visszaállítás a modulra" writes through.
    void setModuleLink(ModuleLink* link) { link_ = link; }
    // The corvanta-cli a batch run starts, one for each module.
    void setFleetProgram(const QString& path);
    FleetPanel* fleetPanel() const { return fleet_; }
    // The "Eseménynapló" page of the site shown.
    EventHistoryPage* eventHistoryPage() const { return events_; }
    // The site list and the writes shown, as saved (tests choose the paths).
    ListReport& siteListReport() { return *siteList_; }
    ListReport& writeListReport() { return *writeList_; }
    // Where a book of one's own keeps the sites' codes and passwords: the
    // desktop's secret store unless given (tests give one in memory).
    void setCredentialStore(credentials::CredentialStore* store);
    // Greys what the role may not do: a viewer writes to no module and
    // stores nothing, only an admin keeps codes. Read from the book as it
    // opens; public for the tests.
    void applyRights(const sitebook::BookRights& rights);

    // Opens the book anew and lists its sites, keeping the selection.
    void refresh();

    // Rows read at a time into each list (tests make it small).
    static constexpr int kPageRows = 200;
    void setPageRows(int rows) { pageRows_ = std::max(rows, 1); }

    // What the window shows, for the program and its tests: the rows read so
    // far. Selecting a site not read yet reads on until it comes.
    QStringList siteNames() const;
    void selectSite(const QString& name);
    // Several sites for a batch run; the first becomes the one shown.
    void selectSites(const QStringList& names);
    std::vector<sitebook::Site> selectedSites() const;
    std::vector<sitebook::SnapshotInfo> shownHistory() const { return history_; }
    std::vector<sitebook::WriteRecord> shownWrites() const { return writes_; }
    void selectSnapshots(const std::vector<qint64>& ids);
    const std::vector<sitebook::WriteChange>& shownDiff() const { return diffRows_; }
    QString statusText() const;

signals:
    // The user chose this site for the reads and writes to come.
    void currentSiteChosen(const sitebook::Site& site);
    // A snapshot was copied into the image.
    void imageReplaced();

public slots:
    void btNewSiteClick();
    void btSaveSiteClick();
    void btChooseSiteClick();
    void btOpenSnapshotClick();
    void btCompareSnapshotsClick();
    void btCompareWithImageClick();
    void btExportSnapshotClick();
    void btManualSnapshotClick();
    void btRestoreSnapshotClick();
    // The next page of each list.
    void btMoreSitesClick();
    void btMoreHistoryClick();
    void btMoreWritesClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addButton(const char* name, const QString& caption);
    bool openBook();
    // The shown site's kept installer code; empty when none is kept or none
    // can be told.
    QString keptInstallerCode();
    void fillSites();
    void showSite(int row);
    void fillHistory();
    void fillWrites();
    // Read the next page into the list; false when there was none.
    bool loadSites();
    bool loadHistory();
    bool loadWrites();
    // Reads the next page whenever `list` is scrolled to its end.
    void pageOnScroll(QAbstractItemView* list, void (SiteBookWindow::*more)());
    void showWriteChanges();
    std::vector<qint64> selectedSnapshots() const;
    // The one snapshot selected; says so and gives none otherwise.
    std::optional<sitebook::Snapshot> chosenSnapshot();
    void showDiff(const QString& title, const ImageDiff& diff);
    void setStatus(const QString& text);
    sitebook::Site siteFromFields() const;
    // An apply's change: the fields in which the image differs from the
    // snapshot last opened into it.
    std::optional<FleetPanel::Change> changeFromImage(bool dryRun);
    static QString originText(const sitebook::WriteRecord& write);

    ParameterImage& image_;
    Messenger& messenger_;
    QString bookPath_;
    std::unique_ptr<sitebook::SiteBook> book_;
    std::function<bool()> confirmReplace_;
    FileChooser fileChooser_;

    std::vector<sitebook::Site> sites_;
    std::vector<sitebook::SnapshotInfo> history_;
    std::vector<sitebook::WriteRecord> writes_;
    std::vector<sitebook::WriteChange> diffRows_;
    sitebook::Site current_;  // the site whose details are shown
    ModuleLink* link_ = nullptr;
    std::unique_ptr<credentials::CredentialStore> ownStore_;
    credentials::CredentialStore* store_ = nullptr;
    class KeptSecretBox* keptBox_;
    std::optional<qint64> openedSnapshot_;  // the last one opened into the image
    std::set<qint64> installation_;         // the shown site's first read
    int pageRows_ = kPageRows;
    // Whether rows remain beyond those read.
    bool moreSites_ = false;
    bool moreHistory_ = false;
    bool moreWrites_ = false;

    QLineEdit* edSearch_;
    QListWidget* lbSites_;
    QPushButton* btMoreSites_;
    QPushButton* btMoreHistory_;
    QPushButton* btMoreWrites_;
    QLineEdit* edName_;
    QLineEdit* edAddress_;
    QPlainTextEdit* edNotes_;
    QLineEdit* edSerialPort_;
    QLineEdit* edModemNumber_;
    QLineEdit* edTcpHost_;
    QSpinBox* edTcpPort_;
    QTabWidget* tabs_;
    QTableWidget* gridHistory_;
    QLineEdit* edSnapshotNote_;
    QTableWidget* gridWrites_;
    QTableWidget* gridWriteChanges_;
    QLabel* lbDiffTitle_;
    QTableWidget* gridDiff_;
    QLabel* lbStatus_;
    QCheckBox* cbShowCodes_;
    FleetPanel* fleet_;
    EventHistoryPage* events_;
    std::unique_ptr<ListReport> siteList_;
    std::unique_ptr<ListReport> writeList_;
};

}  // namespace corvanta
