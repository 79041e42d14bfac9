#pragma once
// The "Csoportos művelet" page of the site book window: one operation (read,
// compare, set the clock, apply a change) on every site chosen in the list,
// run by the fleet library as `corvanta-cli fleet` runs it, with a progress
// bar and a line per site as it ends. Cancel starts no new site.

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "fleet/fleet_run.h"
#include "sitebook/site_records.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace corvanta {
namespace credentials {
class CredentialStore;
}

class Messenger;

class FleetPanel : public QWidget {
    Q_OBJECT
public:
    FleetPanel(Messenger& messenger, QString bookPath, QWidget* parent = nullptr);
    ~FleetPanel() override;

    // The sites chosen in the window, asked for when a job starts.
    void setSiteSource(std::function<std::vector<sitebook::Site>()> source) { siteSource_ = std::move(source); }
    // The change an apply gives the sites, with the text kept with its
    // batch; nullopt (once it said why) when there is none. Told whether it
    // is a dry run, which writes nothing.
    struct Change {
        fleet::ParameterChange change;
        QString description;
    };
    void setChangeSource(std::function<std::optional<Change>(bool dryRun)> source) {
        changeSource_ = std::move(source);
    }
    // The installer code when the field is left empty (the main window's).
    void setCodeSource(std::function<QString()> source) { codeSource_ = std::move(source); }
    // The corvanta-cli the children run; beside the program unless given.
    void setProgram(const QString& path) { program_ = path; }
    // Where a book of one's own keeps the sites' codes and passwords; each
    // site's kept ones go to its children, the code field's stands in for a
    // site with none kept.
    void setCredentialStore(credentials::CredentialStore* store) { store_ = store; }
    // A role that writes to no module (a viewer) may only compare.
    void setOperateModules(bool on);

    enum class Job { Read, Compare, Clock, Apply };
    void chooseJob(Job job);
    bool running() const { return run_ && run_->running(); }
    // What the page shows, for the window's tests.
    const std::vector<fleet::SiteOutcome>& shownOutcomes() const { return outcomes_; }
    QString statusText() const;

public slots:
    void btFleetStartClick();
    void btFleetCancelClick();

signals:
    // The job ended: the book holds what it stored.
    void runFinished();

private:
    void addOutcome(const fleet::SiteOutcome& outcome);
    void showChanges();
    void finished();
    void setRunning(bool running);
    void updateStart();
    // The sites' kept secrets for a run, asked from their book.
    std::function<sitebook::SiteSecret(const QString&)> keptSecretTeller();

    Messenger& messenger_;
    QString bookPath_;
    QString program_;
    std::function<std::vector<sitebook::Site>()> siteSource_;
    std::function<std::optional<Change>(bool)> changeSource_;
    std::function<QString()> codeSource_;
    credentials::CredentialStore* store_ = nullptr;
    bool operate_ = true;
    std::unique_ptr<fleet::FleetRun> run_;
    std::vector<fleet::SiteOutcome> outcomes_;

    QComboBox* cbFleetJob_;
    QCheckBox* cbFleetDryRun_;
    QCheckBox* cbFleetForce_;
    QLineEdit* edFleetCode_;
    QLineEdit* edFleetPassword_;
    QSpinBox* edFleetJobs_;
    QPushButton* btFleetStart_;
    QPushButton* btFleetCancel_;
    QProgressBar* pbFleet_;
    QTableWidget* gridFleet_;
    QTableWidget* gridFleetChanges_;
    QLabel* lbFleetStatus_;
};

}  // namespace corvanta
