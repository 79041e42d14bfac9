#include <QCheckBox>
#include <QFile>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "params/parameter_codec.h"
#include "tests/support/file_modes.h"
#include "tests/support/recording_messenger.h"
#include "tests/ui/pdf_facts.h"
#include "ui/editor/parameter_editor.h"
#include "ui/editor/settings_export.h"
#include "ui/main/start_up.h"
#include "ui/main/text_window.h"
#include "ui/main/transfer_window.h"

namespace corvanta {
namespace {

// Whether every character of `text` has one width in `font`: what lines the
// listing's columns up. Qt's fixedPitch() is no test of it; it says false
// for Noto Sans Mono.
bool allOneWidth(const QFont& font, const QString& text) {
  const QFontMetricsF fm(font);
  const qreal width = fm.horizontalAdvance(u'M');
  for (const QChar c : text) {
    if (c != u'\n' && !qFuzzyCompare(fm.horizontalAdvance(c), width)) return false;
  }
  return true;
}

class ExportButtonTest : public ::testing::Test {
 protected:
  ExportButtonTest() {
    StartOptions options;
    options.settingsPath = dir.filePath(QStringLiteral("settings.ini"));
    options.messenger = &messages;
    program = std::make_unique<StartUp>(std::move(options));
  }
  QPushButton* exportButton() { return program->transferWindow()->findChild<QPushButton*>("btExport"); }
  QString memoText() { return program->textWindow()->memo()->toPlainText(); }

  QTemporaryDir dir;
  testing::RecordingMessenger messages;
  std::unique_ptr<StartUp> program;
};

TEST_F(ExportButtonTest, TheTextWindowExistsBeforeTheLaterWindowsAndTheButtonStaysHidden) {
  ASSERT_NE(program->textWindow(), nullptr);
  EXPECT_EQ(program->transferWindow(), nullptr);
  EXPECT_EQ(program->textWindow()->objectName(), "FormText");
  EXPECT_EQ(program->textWindow()->windowTitle(), "FormTXT");
  EXPECT_TRUE(allOneWidth(program->textWindow()->memo()->font(), QStringLiteral(" .:|0123456789iMWőŰáÉ")));
  program->createAll();
  ASSERT_NE(exportButton(), nullptr);
  EXPECT_EQ(exportButton()->text(), QStringLiteral("&Exportálás TXT-be"));
  program->transferWindow()->show();
  EXPECT_FALSE(exportButton()->isVisible());
}

TEST_F(ExportButtonTest, ExportShowsTheListingOfTheCurrentImageAndReplacesTheLastOne) {
  program->createAll();
  ParameterValues v = decode(program->image());
  v.zones[0].name = "Bejárat";
  encode(v, program->image());
  exportButton()->click();
  EXPECT_TRUE(program->textWindow()->isVisible());
  EXPECT_FALSE(program->editor()->isVisible());
  const QStringList first = memoText().split(u'\n');
  EXPECT_EQ(first.value(0), "PageControl1: ");
  EXPECT_TRUE(memoText().contains("Bejárat"));
  EXPECT_TRUE(allOneWidth(program->textWindow()->memo()->font(), memoText()));

  v.zones[0].name = "Pince";
  encode(v, program->image());
  exportButton()->click();
  EXPECT_FALSE(memoText().contains("Bejárat"));
  EXPECT_EQ(memoText().split(u'\n').size(), first.size());
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(ExportButtonTest, TheVisiblePrintButtonPrintsTheListingWhichTheTextWindowAlsoSaves) {
  program->createAll();
  QPushButton* print = program->transferWindow()->findChild<QPushButton*>("btPrint");
  ASSERT_NE(print, nullptr);
  program->transferWindow()->show();
  EXPECT_TRUE(print->isVisible());
  EXPECT_EQ(print->text(), QStringLiteral("&Nyomtatás"));

  TextWindow* text = program->textWindow();
  const QString printed = dir.filePath(QStringLiteral("listing.pdf"));
  text->reports().setPrinterSetup([&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    return true;
  });
  print->click();
  EXPECT_TRUE(text->isVisible());
  EXPECT_EQ(memoText().split(u'\n').value(0), "PageControl1: ");
  QFile pdf(printed);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const PdfFacts facts = pdfFacts(pdf.readAll());
  EXPECT_GT(facts.pages, 2);  // some three hundred lines of listing
  EXPECT_EQ(facts.pageSize, QSize(595, 842));

  text->reports().setPathChooser([&](ReportFormat, const QString&) { return dir.filePath(QStringLiteral("l.txt")); });
  text->findChild<QPushButton*>("btSave")->click();
  QFile saved(dir.filePath(QStringLiteral("l.txt")));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(saved.readAll()), memoText() + u'\n');
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(ExportButtonTest, CodesShowAsDotsOnScreenAndPaperUntilAskedForAndTheFileKeepsThem) {
  program->createAll();
  ParameterValues v = decode(program->image());
  v.users[4].code = "2468";
  v.installerCode = "135790";
  encode(v, program->image());
  exportButton()->click();
  TextWindow* text = program->textWindow();
  const QStringList hidden = memoText().split(u'\n');
  EXPECT_FALSE(memoText().contains("2468"));
  EXPECT_FALSE(memoText().contains("135790"));
  EXPECT_EQ(hidden.filter(QString::fromUtf8("••••")).size(), 2);  // user 5's row and the installer code
  EXPECT_TRUE(hidden.contains(QString::fromUtf8("edMasterCode: ••••  { Telepítői kód megváltoztatása: }")))
      << memoText().toStdString();

  text->showCodesBox()->setChecked(true);
  const QStringList shown = memoText().split(u'\n');
  EXPECT_TRUE(memoText().contains("2468"));
  EXPECT_TRUE(memoText().contains("135790"));
  ASSERT_EQ(shown.size(), hidden.size());
  int differing = 0;
  for (int i = 0; i < shown.size(); ++i) differing += shown[i] != hidden[i];
  EXPECT_EQ(differing, 2);

  // The text file is the listing itself, whatever the screen shows, and
  // so the owner's alone.
  testing::SharedUmask umask;
  text->showCodesBox()->setChecked(false);
  text->reports().setPathChooser([&](ReportFormat, const QString&) { return dir.filePath(QStringLiteral("l.txt")); });
  text->findChild<QPushButton*>("btSave")->click();
  QFile saved(dir.filePath(QStringLiteral("l.txt")));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(saved.readAll()), shown.join(u'\n') + u'\n');
  EXPECT_EQ(testing::modeOf(saved.fileName()), 0600);

  // A new listing asks afresh.
  text->showCodesBox()->setChecked(true);
  exportButton()->click();
  EXPECT_FALSE(text->showCodesBox()->isChecked());
  EXPECT_FALSE(memoText().contains("2468"));
}

}  // namespace
}  // namespace corvanta
