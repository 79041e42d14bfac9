#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "params/parameter_codec.h"
#include "tests/support/build_paths.h"

namespace corvanta {
namespace {

struct CliRun {
  int status;
  QString out;
  QString err;
};

// The command sets up its own headless platform: the test leaves none set.
CliRun exportOf(const QString& path) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  p.setProcessEnvironment(env);
  p.start(QString::fromStdString(CORVANTA_CLI), {QStringLiteral("export"), path});
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

void write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(CliExport, PrintsTheListingOfAParameterFileWithoutAScreen) {
  QTemporaryDir dir;
  ParameterImage image{};
  ParameterValues v = decode(image);
  v.zones[2].name = "Nappali";
  v.nightWalkTime = 9;
  v.keypad.alarmBeep = true;
  encode(v, image);
  const QString path = dir.filePath("known.cd2");
  write(path, QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size())));

  const CliRun r = exportOf(path);
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const QStringList lines = r.out.split(u'\n');
  EXPECT_EQ(lines.value(0), "PageControl1: ");
  EXPECT_TRUE(lines.contains("edNightDelay: 9  { Éjszakai séta időtartam (0-25 perc) }"));
  EXPECT_TRUE(lines.contains("cb_KEYPAD_AlarmBeep    : X  { Riasztáskor hangjelzés a kezelőn }"));
  EXPECT_TRUE(r.out.contains("  3. Zóna: [ ")) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("Nappali"));
  EXPECT_TRUE(r.out.endsWith("\n"));
}

TEST(CliExport, AShortOrMissingFileIsRefusedWithNothingPrinted) {
  QTemporaryDir dir;
  const QString shortFile = dir.filePath("short.cd2");
  write(shortFile, QByteArray(100, '\0'));
  for (const QString& path : {shortFile, dir.filePath("missing.cd2")}) {
    const CliRun r = exportOf(path);
    EXPECT_EQ(r.status, 2) << path.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(path)) << r.err.toStdString();
  }
}

}  // namespace
}  // namespace corvanta
