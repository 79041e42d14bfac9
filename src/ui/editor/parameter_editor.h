#pragma once
// The parameter editor: seven tabbed pages over the working values decoded
// from the parameter image. Confirm encodes the values back into the image;
// discard leaves the image alone. Rows exist only on the active row page:
// leaving a page stores its rows into the records and drops them, entering
// one builds them from the records.

#include <array>
#include <functional>

#include <QDialog>
#include <QElapsedTimer>

#include "params/parameter_image.h"
#include "ui/widgets/dialog_messenger.h"
#include "ui/editor/editor_context.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace corvanta {

class EditorPage;
class OnOffModeWindow;
class PanelArray;

class ParameterEditor : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kPageCount = 7;
  static constexpr int kFirstPage = 4;  // the telephone page
  static constexpr qint64 kIndicatorDelayMs = 500;

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

  void setMessenger(Messenger* m) { context_.messenger = m ? m : &dialogs_; }
  // Milliseconds since an arbitrary start; replaces the stopwatch.
  void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

  QTabWidget* pageControl() const { return pages_; }
  EditorPage* page(int index) const { return pageList_[index]; }
  OnOffModeWindow* modeWindow() const { return modeWindow_; }
  QFrame* loadingPanel() const { return loadingPanel_; }
  const ParameterValues& workingValues() const { return context_.values; }

 public slots:
  void confirm();
  void discard();

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void decodeImage(const ParameterImage& image);
  void pageLeave(int index);
  void pageChange(int index);
  void showProgress(int percent);

  EditorContext context_;
  DialogMessenger dialogs_;
  QTabWidget* pages_;
  std::array<EditorPage*, kPageCount> pageList_{};
  QPushButton* ok_;
  QPushButton* cancel_;
  QFrame* loadingPanel_;
  QLabel* loadingLabel_;
  QProgressBar* gauge_;
  OnOffModeWindow* modeWindow_;
  ParameterImage* image_ = nullptr;
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
