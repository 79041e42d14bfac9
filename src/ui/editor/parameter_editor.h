#pragma once
// The parameter editor: seven tabbed pages over the working values decoded
// from the parameter image. Confirm encodes the values back into the image;
// discard leaves the image alone. Rows exist only on the active row page:
// leaving a page stores its rows into the records and drops them, entering
// one builds them from the records.
//
// Each opening is one editing round with its own undo history (Ctrl+Z,
// Ctrl+Shift+Z or Ctrl+Y, the "Szerkesztés" menu and the two buttons);
// confirm or discard ends it. Escape and the frame's close button discard
// too, but ask first when the round holds changes.

#include <array>
#include <functional>
#include <optional>

#include <QDialog>
#include <QElapsedTimer>
#include <QUndoStack>

#include "params/parameter_image.h"
#include "ui/widgets/dialog_messenger.h"
#include "ui/editor/edit_history.h"
#include "ui/editor/editor_context.h"
#include "ui/editor/row_copy.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace corvanta {

class EditorPage;
class FindDialog;
class OnOffModeWindow;
class PanelArray;

class ParameterEditor : public QDialog, public EditTarget {
  Q_OBJECT
 public:
  static constexpr int kPageCount = 7;
  static constexpr int kFirstPage = 4;  // the telephone page
  static constexpr qint64 kIndicatorDelayMs = 500;
  static constexpr const char* kDiscardQuestion = "Elveti a módosításokat?";

  explicit ParameterEditor(QWidget* parent = nullptr);
  ~ParameterEditor() override;

  // The transfer window's edit button: decode `image`, show the editor
  // modally; confirming writes the edits into `image`.
  void openForEditing(ParameterImage& image);
  // Decode and show without waiting (the caller runs the loop); confirming
  // writes into `image`, which must outlive the window.
  void present(ParameterImage& image);
  // The text export: decode into the pages without showing the window.
  void prepareForExport(const ParameterImage& image);
  // The image as it was read or opened, and what it was ("a modulból
  // beolvasott kép"), for the list of changes since; none: not known.
  void setOrigin(const std::optional<ParameterImage>& origin, const QString& what);
  // The fields the edits change against that image, as the list shows them.
  QString changesSinceOrigin();
  static QString helpText();

  // Asked by a paste what it carries besides the settings (names, codes,
  // SMS texts, as the page has them); none: the paste is called off.
  using PasteChooser = std::function<std::optional<PasteOptions>(const PasteOptions& offer, int rows)>;
  void setPasteChooser(PasteChooser chooser) { pasteChooser_ = std::move(chooser); }
  FindDialog* findDialog() const { return find_; }

  void setMessenger(Messenger* m) { context_.messenger = m ? m : &dialogs_; }
  // Milliseconds since an arbitrary start; replaces the stopwatch.
  void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

  QTabWidget* pageControl() const { return pages_; }
  EditorPage* page(int index) const { return pageList_[index]; }
  OnOffModeWindow* modeWindow() const { return modeWindow_; }
  QFrame* loadingPanel() const { return loadingPanel_; }
  const ParameterValues& workingValues() const { return context_.values; }

  // The undo history of this editing round.
  QUndoStack& history() { return history_; }
  // Whether the round holds changes that confirm would write.
  bool holdsChanges() const { return !history_.isClean(); }
  QMenu* editMenu() const { return editMenu_; }
  QAction* undoAction() const { return undoAction_; }
  QAction* redoAction() const { return redoAction_; }

  // EditTarget: shows the field's page, its row and control, and sets it.
  void applyEdit(const ControlAddress& address, const QVariant& value) override;
  // Shows the page of `address`, scrolls its row into view and focuses the
  // control; false when there is no such control.
  bool showControl(const ControlAddress& address);
  // The control `address` names as it stands now (its row built), or null.
  QWidget* controlAt(const ControlAddress& address);
  // Every value as the pages show them now (visible rows included).
  ParameterValues currentValues();

 public slots:
  // Ctrl+C on a row page: the row with the focus, else the one selected.
  bool copyRow();
  // Ctrl+V: the copied row onto the selected rows (else the focused one),
  // one step of the history.
  bool pasteRows();
  void find();
  void showChanges();
  void showHelp();
  void confirm();
  void discard();
  // Escape and the frame's close button: asks first when the round holds
  // changes; "Nem" keeps the window open.
  void reject() override;
  void nextPage();
  void previousPage();

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void decodeImage(const ParameterImage& image);
  void pageLeave(int index);
  void pageChange(int index);
  void showProgress(int percent);
  void buildMenus(QMenuBar* bar);
  void showUndoTexts();
  void newRound();
  // The record a row command is for: the focused row, else the only one selected.
  int rowInHand(PanelArray* array) const;
  void putRecords(const RowRecords& records);
  void showRowMenu(int page, int record, const QPoint& at);

  EditorContext context_;
  DialogMessenger dialogs_;
  QTabWidget* pages_;
  std::array<EditorPage*, kPageCount> pageList_{};
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* undoButton_;
  QPushButton* redoButton_;
  QUndoStack history_;
  EditTracker* tracker_;
  QMenu* editMenu_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  FindDialog* find_ = nullptr;
  PasteChooser pasteChooser_;
  // The row copied with Ctrl+C: its page, record and the values it had.
  struct CopiedRow {
    int page;
    int record;
    ParameterValues values;
  };
  std::optional<CopiedRow> copied_;
  QFrame* loadingPanel_;
  QLabel* loadingLabel_;
  QProgressBar* gauge_;
  OnOffModeWindow* modeWindow_;
  ParameterImage* image_ = nullptr;
  std::optional<ParameterImage> origin_;
  QString originText_;
  int activePage_ = kFirstPage;
  bool shown_ = false;
  // Set by a decode, cleared once the active page shows the new records:
  // re-activating the window must not overwrite rows still being typed in.
  bool recordsNewer_ = false;
  QElapsedTimer stopwatch_;
  std::function<qint64()> clock_;
  qint64 buildStart_ = 0;
  bool building_ = false;
};

}  // namespace corvanta
