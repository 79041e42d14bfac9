#pragma once
// The transfer window (FormDownload, "GSM-Corvanta paraméterbeállítás"):
// eight block indicators and the buttons that read, compare and write the
// parameter image, open and save it as a file, and open the editor on it.
// The operations themselves are ParameterTransfer's.
//
// A write first asks with the list of fields it changes on the module. The
// image has a history: each read, opened file, confirmed edit and copy from
// the site book is a step that Ctrl+Z takes back. Ctrl+O, Ctrl+S and
// Ctrl+Shift+S open and save, the last eight files are a menu away, F1 tells
// how the window works.

#include <QColor>
#include <QUndoStack>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "params/parameter_image.h"
#include "transfer/parameter_transfer.h"
#include "transfer/transfer_view.h"

class QFileDialog;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace corvanta {

class ModuleLink;
class RememberedChoices;
class TransferRecorder;
class UnsavedEdits;

class TransferWindow : public QWidget, public TransferView {
    Q_OBJECT
public:
    static constexpr int kBlocks = 8;

    // Returns the chosen path, or an empty one when the user cancelled.
    using FileChooser = std::function<QString(bool forSaving)>;
    // Opens the editor on the image and returns when it closes.
    using EditorOpener = std::function<void(ParameterImage& image)>;
    // Lists the image as settings text and shows the listing; the printer
    // prints it too.
    using Exporter = std::function<void(const ParameterImage& image)>;
    // An image the module is known to have held, and where it comes from
    // ("a(z) „Kovács” helyszín legutóbbi pillanatképe").
    struct KnownImage {
        ParameterImage image;
        QString source;
    };
    // The chosen site's latest snapshot, when there is one.
    using SnapshotSource = std::function<std::optional<KnownImage>()>;

    TransferWindow(ModuleLink& link, ParameterImage& image, QWidget* parent = nullptr);
    ~TransferWindow() override;

    // Tests choose files without a dialog.
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
    void setEditorOpener(EditorOpener opener) { editorOpener_ = std::move(opener); }
    void setExporter(Exporter exporter) { exporter_ = std::move(exporter); }
    void setPrinter(Exporter printer) { printer_ = std::move(printer); }
    // Shows the settings report of the image, to print or keep as PDF.
    void setReporter(Exporter reporter) { reporter_ = std::move(reporter); }
    // Asked before a read or an opened file replaces edits kept nowhere
    // else; told when the image is kept in the module or a file.
    void setUnsavedEdits(UnsavedEdits* edits) { unsaved_ = edits; }
    // Told of every read, write and file operation (the site book).
    void setRecorder(TransferRecorder* recorder) { transfer_.setRecorder(recorder); }
    // What a write is held against when this module was not read in this run.
    void setSnapshotSource(SnapshotSource source) { snapshotSource_ = std::move(source); }
    // Keeps the recent files.
    void setRememberedChoices(RememberedChoices* choices);

    // The question a write asks first: the fields it changes on the module
    // against the image last read from it in this run, else the site's
    // latest snapshot, else that nothing is known to hold it against.
    QString writeQuestion();
    // The image as the last read, opened file or site-book copy left it,
    // before any edit, and what it was; none before the first.
    const std::optional<ParameterImage>& imageOrigin() const { return origin_; }
    const QString& imageOriginText() const { return originText_; }
    // Steps of the image: reads, opened files, confirmed edits, copies.
    QUndoStack& imageHistory() { return imageHistory_; }
    // Another window replaced the image (a site-book snapshot): one step.
    void noteImageReplaced(const QString& what);
    QStringList recentFiles() const;
    // The short help F1 shows.
    static QString helpText();

    QColor indicatorColour(int block) const;

    // TransferView
    void paintBlock(int block, BlockColour colour) override;
    void setOperationRunning(bool running) override;
    void showRecordNote(const QString& note) override;
    void showOutcome(const QString& text) override;
    void setStopEnabled(bool on) override;

    // The site book's line about the last operation; the fields the last
    // compare found different, one line each, and the codes that differ
    // (empty: none, or no compare, or the image or the module has changed
    // since).
    QString recordNote() const;
    // What the module holds after the last operation, when the colours do
    // not say it (a write's check, a stop); empty otherwise.
    QString outcomeLine() const;
    QStringList compareLines() const;
    // What the block colours mean, as the legend below them says it.
    QString legendText() const;

    static QColor colourOf(BlockColour colour);

signals:
    // The site book has a new line about an operation.
    void recorded();

public:
    // The image or the module is no longer what the last compare saw: its
    // list of differences goes. The window notices its own reads, writes,
    // opened files and edits, and a change of link; whoever else replaces
    // the image says so here.
    void forgetCompare();

public slots:
    void btReadClick();
    void btCompareClick();
    void btWriteClick();
    void btOpenClick();
    void btSaveClick();
    void btEditClick();
    void btExportClick();
    void btPrintClick();
    void btReportClick();
    // Opens a parameter file as "Beolvasás fájlból" does, without the dialog.
    void openFile(const QString& path);
    // Ctrl+S: into the file last opened or saved, else as "Mentés fájlba".
    void saveToCurrentFile();
    void showHelp();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addButton(const char* name, const QString& caption);
    QString chooseFile(bool forSaving);
    // False when the user would rather keep the edits.
    bool mayReplaceImage();
    // The image now is what the module or a file holds.
    void imageKept();
    // Forgets the compare when the image differs from what it compared.
    void forgetCompareIfStale();
    // The image changed by `what`: a step of the history, when it changed.
    // A new origin (the image was read, opened or copied) says what it is.
    void imageStep(const QString& what, const QString& newOrigin = {});
    void restoreImage(const ParameterImage& image, const std::optional<ParameterImage>& origin, const QString& originText);
    void fileKept(const QString& path);
    void fillRecentMenu();
    bool saveTo(const QString& path);

    ModuleLink& link_;
    ParameterImage& image_;
    UnsavedEdits* unsaved_ = nullptr;
    ParameterTransfer transfer_;
    std::array<QLabel*, kBlocks> indicators_{};
    QLabel* lbRecordNote_ = nullptr;
    QLabel* lbOutcome_ = nullptr;
    QPushButton* btStop_ = nullptr;
    QLabel* lbChanges_ = nullptr;
    QPlainTextEdit* meChanges_ = nullptr;
    std::vector<QPushButton*> lockedWhileRunning_;
    FileChooser fileChooser_;
    EditorOpener editorOpener_;
    Exporter exporter_;
    Exporter printer_;
    Exporter reporter_;
    QWidget* lbLegend_ = nullptr;
    // The image as the last compare saw it; none: no list shown.
    std::optional<ParameterImage> compared_;
    // What this module holds as far as this run knows (read or written);
    // none after a change of line.
    std::optional<ParameterImage> moduleImage_;
    SnapshotSource snapshotSource_;
    QUndoStack imageHistory_;
    ParameterImage stepImage_{};  // the image as the last step left it
    std::optional<ParameterImage> origin_;
    QString originText_;
    RememberedChoices* choices_ = nullptr;
    QString currentFile_;
    QMenu* recentMenu_ = nullptr;
    QPushButton* btRecent_ = nullptr;
    QPushButton* btUndo_ = nullptr;
    QPushButton* btRedo_ = nullptr;
    std::vector<QAction*> actions_;
    std::unique_ptr<QFileDialog> openDialog1_;
    std::unique_ptr<QFileDialog> saveDialog1_;
};

}  // namespace corvanta
