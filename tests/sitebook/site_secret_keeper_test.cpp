// Where a site's kept code and password go for a book of one's own: the
// desktop's secret store, under keys that name the book and the site and
// hold no secret; a store that does not answer is said plainly, once.

#include "credentials/site_secret_keeper.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "credentials/keychain_store.h"
#include "tests/support/memory_credential_store.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::credentials;
using namespace corvanta::sitebook;
using namespace corvanta::testing;

namespace {

class KeptOnTheDesk : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        path = dir.filePath("sitebook.sqlite");
        ASSERT_TRUE(book.open(path));
        site.name = QStringLiteral("Fő utca 1/a");
        ASSERT_TRUE(book.saveSite(site));
    }
    QTemporaryDir dir;
    QString path;
    SiteBook book;
    Site site;
    MemoryCredentialStore store;
};

}  // namespace

TEST_F(KeptOnTheDesk, CodeAndPasswordGoToTheStoreNeverToTheFileAndAreForgotten) {
    SiteSecretKeeper keeper(book, store, path);
    ASSERT_TRUE(keeper.keep(site, {QStringLiteral("731946"), QStringLiteral("jelszo-8431")}));
    ASSERT_EQ(store.kept.size(), 2);
    for (auto it = store.kept.cbegin(); it != store.kept.cend(); ++it) {
        EXPECT_TRUE(it.key().startsWith(path + QStringLiteral("/Fő utca 1/a/"))) << it.key().toStdString();
        EXPECT_FALSE(it.key().contains(QStringLiteral("731946")) || it.key().contains(QStringLiteral("8431")));
    }
    EXPECT_EQ(store.kept.value(SiteSecretKeeper::keyFor(path, site.name, SiteSecretKeeper::What::InstallerCode)),
              QStringLiteral("731946"));
    const auto kept = keeper.load(site);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->installerCode, QStringLiteral("731946"));
    EXPECT_EQ(kept->tcpPassword, QStringLiteral("jelszo-8431"));
    book.addSnapshot(site.id, SnapshotKind::Manual, ParameterImage{}, {}, 2);
    for (const QString& name : {QStringLiteral("sitebook.sqlite"), QStringLiteral("sitebook.sqlite-wal")}) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        EXPECT_FALSE(bytes.contains("731946") || bytes.contains("jelszo-8431")) << name.toStdString();
    }

    // Kept again without a password: the old one does not linger.
    ASSERT_TRUE(keeper.keep(site, {QStringLiteral("1234"), {}}));
    EXPECT_EQ(store.kept.size(), 1);
    EXPECT_TRUE(keeper.load(site)->tcpPassword.isEmpty());
    ASSERT_TRUE(keeper.forget(site));
    EXPECT_TRUE(store.kept.isEmpty());
    EXPECT_TRUE(keeper.load(site)->empty());
}

TEST_F(KeptOnTheDesk, ARenamedSiteTakesWhatIsKeptUnderItsOldNameAlong) {
    SiteSecretKeeper keeper(book, store, path);
    ASSERT_TRUE(keeper.keep(site, {QStringLiteral("731946"), QStringLiteral("jelszo-8431")}));
    Site renamed = site;
    renamed.name = QStringLiteral("Fő utca 3");
    ASSERT_TRUE(book.saveSite(renamed));
    ASSERT_TRUE(keeper.followRename(site, renamed));
    EXPECT_EQ(keeper.load(renamed)->installerCode, QStringLiteral("731946"));
    EXPECT_TRUE(keeper.load(site)->empty());
    EXPECT_EQ(store.kept.size(), 2);
}

TEST_F(KeptOnTheDesk, AStoreThatDoesNotAnswerIsSaidPlainlyAndAskedOnce) {
    store.silent = true;
    SiteSecretKeeper keeper(book, store, path);
    EXPECT_FALSE(keeper.load(site));
    EXPECT_TRUE(keeper.storeUnavailable());
    EXPECT_TRUE(keeper.error().contains(QStringLiteral("nincs elérhető titoktár"))) << keeper.error().toStdString();
    const int asked = store.calls;
    EXPECT_FALSE(keeper.load(site));
    EXPECT_FALSE(keeper.keep(site, {QStringLiteral("1234"), {}}));
    EXPECT_EQ(store.calls, asked);
}

TEST(DesktopSecretStore, WithoutASecretServiceItSaysSoInsteadOfKeepingAnywhere) {
    ensureQtCoreApp();
    // No session bus, as on this build machine: nothing to answer.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/corvanta-test-bus");
    KeychainStore store(5000);
    const auto written = store.write(QStringLiteral("corvanta-test/site/installer-code"), QStringLiteral("1234"));
    EXPECT_TRUE(written.unavailable());
    EXPECT_FALSE(written.error.isEmpty());
    EXPECT_FALSE(written.error.contains(QStringLiteral("1234")));
    EXPECT_TRUE(store.read(QStringLiteral("corvanta-test/site/installer-code")).unavailable());
}
