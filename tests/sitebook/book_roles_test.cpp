// A team book's operators: the roles book init-roles makes, what the server
// lets each of them read and write, and who every row names; on a file,
// who made each row too.

#include "sitebook/book_roles.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

#include <atomic>

#include "params/code_fields.h"
#include "params/parameter_codec.h"
#include "sitebook/schema.h"
#include "sitebook/site_book.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::sitebook;
using namespace corvanta::testing;

namespace {

ParameterImage imageWith(const char* zoneName, const char* userCode) {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    v.zones[0].name = zoneName;
    v.users[0].code = userCode;
    v.installerCode = "4321";
    encode(v, image);
    return image;
}

// A login of the test server in one of the book's roles, and the book's URL
// as that login reaches it.
struct Login {
    QString name;
    QString password = QStringLiteral("pw-of-login");
    QString url;
};

Login makeLogin(const QString& bookUrl, const QString& role) {
    static std::atomic<int> counter{0};
    Login login;
    login.name = QStringLiteral("op_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    RawConnection server({}, Engine::PostgreSQL);
    server.exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(login.name, login.password));
    server.exec(QStringLiteral("GRANT %1 TO %2").arg(role, login.name));
    QUrl url(bookUrl);
    url.setUserName(login.name);
    url.setPassword(login.password);
    login.url = url.toString();
    return login;
}

// Plain SQL as a login, outside the program.
class LoginConnection {
public:
    LoginConnection(const Login& login, const QString& database) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
        db.setHostName(qEnvironmentVariable("PGHOST"));
        db.setPort(qEnvironmentVariable("PGPORT", "5432").toInt());
        db.setUserName(login.name);
        db.setPassword(login.password);
        db.setDatabaseName(database);
        opened = db.open();
    }
    ~LoginConnection() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    bool exec(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_, false));
        return q.exec(sql);
    }
    QVariant value(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_, false));
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }
    bool opened = false;

private:
    QString name_ = QStringLiteral("login-%1").arg(quintptr(this));
};

class TeamBook : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (!serverAvailable()) GTEST_SKIP() << kNoServer;
        ensureQtCoreApp();
        url = newServerBook(database);
        ASSERT_FALSE(url.isEmpty()) << "cannot create a database";
        ASSERT_TRUE(owner.open(url)) << owner.error().toStdString();
        Site s;
        s.name = QStringLiteral("Kovács utca");
        ASSERT_TRUE(owner.saveSite(s));
        site = s;
        first = *owner.addSnapshot(s.id, SnapshotKind::Read, imageWith("Konyha", "5678"), {}, 2);
        // The write changes a user code and a zone name.
        ASSERT_TRUE(owner.recordWrite(s.id, true, QStringLiteral("GGGGGGGG"), imageWith("Nappali", "9913"), {}, 2));
        ASSERT_TRUE(owner.recordWriteAttempt(s.id, QStringLiteral("GG"), imageWith("Nappali", "8826")));
        ASSERT_TRUE(owner.keepSiteSecret(s.id, {QStringLiteral("4321"), QStringLiteral("tcp-titok")}));
        ASSERT_TRUE(owner.initRoles()) << owner.error().toStdString();
    }

    QString database;
    QString url;
    SiteBook owner;
    Site site;
    qint64 first = 0;
};
INSTANTIATE_TEST_SUITE_P(Engines, TeamBook, ::testing::Values(Engine::PostgreSQL), engineName);

}  // namespace

TEST_P(TeamBook, InitRolesMakesThreeGroupRolesAndASecondRunChangesNothingElse) {
    EXPECT_EQ(owner.rights().role, QStringLiteral("owner"));
    ASSERT_TRUE(owner.initRoles()) << owner.error().toStdString();
    RawConnection server({}, Engine::PostgreSQL);
    EXPECT_EQ(server.column("SELECT rolname || ':' || rolcanlogin::text FROM pg_roles WHERE rolname LIKE 'corvanta\\_%'"
                            " ORDER BY rolname"),
              QStringList({"corvanta_admin:false", "corvanta_technician:false", "corvanta_viewer:false"}));
    EXPECT_EQ(owner.history(site.id).size(), 2u);  // the write's snapshot too
    // Nobody but the owner makes them.
    const Login tech = makeLogin(url, roles::kTechnician);
    SiteBook technician;
    ASSERT_TRUE(technician.open(tech.url)) << technician.error().toStdString();
    EXPECT_FALSE(technician.initRoles());
    EXPECT_EQ(technician.failure(), SiteBook::Failure::Denied);
}

TEST_P(TeamBook, AnUpgradeByTheOwnerRemakesTheRolesRightsOnlyWhereTheyWereMade) {
    // A book whose roles were made before the tables of who made each row.
    QString older;
    const QString olderUrl = newServerBook(older);
    {
        SiteBook book;
        ASSERT_TRUE(book.open(olderUrl, SiteBook::kBusyTimeoutMs, kWhoVersion - 1)) << book.error().toStdString();
        Site s;
        s.name = QStringLiteral("Régi utca");
        ASSERT_TRUE(book.saveSite(s));
        ASSERT_TRUE(book.addSnapshot(s.id, SnapshotKind::Read, imageWith("Konyha", "5678"), {}, 2));
        ASSERT_TRUE(book.initRoles()) << book.error().toStdString();
    }
    SiteBook upgraded;
    ASSERT_TRUE(upgraded.open(olderUrl)) << upgraded.error().toStdString();
    const Login login = makeLogin(olderUrl, roles::kViewer);
    SiteBook viewer;
    ASSERT_TRUE(viewer.open(login.url)) << viewer.error().toStdString();
    const auto sites = viewer.sites();
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(viewer.history(sites[0].id).size(), 1u) << viewer.error().toStdString();

    // A book of the same server whose roles were never made gets none.
    QString other;
    const QString otherUrl = newServerBook(other);
    {
        SiteBook book;
        ASSERT_TRUE(book.open(otherUrl, SiteBook::kBusyTimeoutMs, kWhoVersion - 1));
    }
    SiteBook otherUpgraded;
    ASSERT_TRUE(otherUpgraded.open(otherUrl)) << otherUpgraded.error().toStdString();
    LoginConnection plain(makeLogin(otherUrl, roles::kViewer), other);
    ASSERT_TRUE(plain.opened);
    EXPECT_FALSE(plain.exec(QStringLiteral("SELECT * FROM public.sites")));
    EXPECT_FALSE(plain.value(QStringLiteral("SELECT COUNT(*) FROM pg_namespace WHERE nspname = 'corvanta_masked'"))
                     .toInt());
}

TEST_P(TeamBook, AViewerReadsNoCodeThroughPlainSqlNorWritesAndSeesTheBookMasked) {
    const Login login = makeLogin(url, roles::kViewer);
    LoginConnection plain(login, database);
    ASSERT_TRUE(plain.opened);
    for (const char* sql : {"SELECT image FROM public.snapshots", "SELECT sha256 FROM public.snapshots",
                            "SELECT old_value, new_value FROM public.write_changes",
                            "SELECT attempted_image FROM public.writes", "SELECT image FROM public.images",
                            "SELECT sha256 FROM public.images", "SELECT * FROM public.site_secrets",
                            "SELECT * FROM corvanta_masked.site_secrets"})
        EXPECT_FALSE(plain.exec(QString::fromLatin1(sql))) << sql;
    EXPECT_FALSE(plain.exec(QStringLiteral("INSERT INTO public.snapshots (site_id, taken_at, kind, sha256, image)"
                                           " VALUES (%1, 'x', 'manual', 'x', '\\x00')")
                                .arg(site.id)));
    EXPECT_FALSE(plain.exec(QStringLiteral("INSERT INTO corvanta_masked.snapshots (site_id, taken_at, kind, sha256,"
                                           " image) VALUES (%1, 'x', 'manual', 'x', '\\x00')")
                                .arg(site.id)));
    // The masked image, found by the snapshot's image number as the program
    // joins them: the code bytes zero, every other byte as stored, and the
    // digest that of the masked bytes (the stored one would let a short code
    // be guessed against it).
    const QString imageOfFirst = QStringLiteral("SELECT i.%2 FROM corvanta_masked.snapshots s"
                                                " JOIN corvanta_masked.images i ON i.id = s.image_id WHERE s.id = %1")
                                     .arg(first);
    const QByteArray masked = plain.value(imageOfFirst.arg(QStringLiteral("image"))).toByteArray();
    const ParameterImage stored = imageWith("Konyha", "5678");
    ASSERT_EQ(std::size_t(masked.size()), kImageSize);
    for (std::size_t i = 0; i < kImageSize; ++i)
        ASSERT_EQ(quint8(masked[qsizetype(i)]), codes::isCodeByte(i) ? 0 : stored[i]) << "byte " << i;
    EXPECT_EQ(plain.value(imageOfFirst.arg(QStringLiteral("sha256"))).toString(),
              QString::fromLatin1(QCryptographicHash::hash(masked, QCryptographicHash::Sha256).toHex()));
    // The snapshot's own columns stay empty, not an image of zeros made up.
    EXPECT_EQ(plain.value(QStringLiteral("SELECT octet_length(image) || '/' || sha256 FROM corvanta_masked.snapshots"
                                         " WHERE id = %1")
                              .arg(first))
                  .toString(),
              QStringLiteral("0/"));

    SiteBook viewer;
    ASSERT_TRUE(viewer.open(login.url)) << viewer.error().toStdString();
    EXPECT_TRUE(viewer.rights().viewer());
    EXPECT_FALSE(viewer.rights().operateModules);
    EXPECT_EQ(viewer.history(site.id).size(), 2u);
    const auto snapshot = viewer.snapshot(first);
    ASSERT_TRUE(snapshot) << viewer.error().toStdString();
    const ParameterValues v = decode(snapshot->image);
    EXPECT_EQ(v.zones[0].name, "Konyha");
    EXPECT_EQ(v.users[0].code, "******");
    EXPECT_EQ(v.installerCode, "******");
    const auto writes = viewer.audit(site.id);
    ASSERT_EQ(writes.size(), 2u);
    bool codeRow = false;
    for (const WriteChange& c : writes.back().changes) {
        EXPECT_FALSE(c.before.contains(QStringLiteral("5678")) || c.after.contains(QStringLiteral("9913")));
        if (c.path == QLatin1String("users[0].code")) {
            codeRow = true;
            EXPECT_EQ(c.after, QString::fromUtf8(codes::kHidden));
        }
    }
    EXPECT_TRUE(codeRow);
    EXPECT_EQ(writes.back().changes.size(), owner.audit(site.id).back().changes.size());
    // Nothing of its own goes in.
    EXPECT_FALSE(viewer.addSnapshot(site.id, SnapshotKind::Manual, stored, {}, 2));
    EXPECT_EQ(viewer.failure(), SiteBook::Failure::Denied) << viewer.error().toStdString();
    EXPECT_FALSE(viewer.siteSecret(site.id));
    EXPECT_EQ(owner.history(site.id).size(), 2u);

    // A snapshot that keeps its image in its own columns (as an upgrade left
    // one) is masked there as well.
    const ParameterImage own = imageWith("Pince", "6047");
    const QByteArray ownBytes(reinterpret_cast<const char*>(own.data()), qsizetype(own.size()));
    RawConnection server(database, Engine::PostgreSQL);
    ASSERT_TRUE(server.exec(QStringLiteral("INSERT INTO snapshots (site_id, taken_at, kind, sha256, image) VALUES"
                                           " (%1, '2020-01-01T00:00:00.000Z', 'manual', '%2', '\\x%3')")
                                .arg(site.id)
                                .arg(QString::fromLatin1(
                                         QCryptographicHash::hash(ownBytes, QCryptographicHash::Sha256).toHex()),
                                     QString::fromLatin1(ownBytes.toHex()))));
    const QStringList ids = server.column(QStringLiteral("SELECT id FROM snapshots WHERE image_id IS NULL"));
    ASSERT_EQ(ids.size(), 1);
    const QByteArray ownMasked =
        plain.value(QStringLiteral("SELECT image FROM corvanta_masked.snapshots WHERE id = %1").arg(ids[0]))
            .toByteArray();
    ASSERT_EQ(std::size_t(ownMasked.size()), kImageSize);
    for (std::size_t i = 0; i < kImageSize; ++i)
        ASSERT_EQ(quint8(ownMasked[qsizetype(i)]), codes::isCodeByte(i) ? 0 : own[i]) << "byte " << i;
    const auto ownSnapshot = viewer.snapshot(ids[0].toLongLong());
    ASSERT_TRUE(ownSnapshot) << viewer.error().toStdString();
    EXPECT_EQ(decode(ownSnapshot->image).zones[0].name, "Pince");
    EXPECT_EQ(decode(ownSnapshot->image).users[0].code, "******");
}

TEST_P(TeamBook, ATechnicianSeesCodesAndTheServerNamesWhoMadeEachRow) {
    const Login login = makeLogin(url, roles::kTechnician);
    SiteBook technician;
    ASSERT_TRUE(technician.open(login.url)) << technician.error().toStdString();
    EXPECT_TRUE(technician.rights().operateModules);
    EXPECT_FALSE(technician.rights().keepSecrets);
    const auto snapshot = technician.snapshot(first);
    ASSERT_TRUE(snapshot) << technician.error().toStdString();
    EXPECT_EQ(decode(snapshot->image).users[0].code, "5678");
    ASSERT_TRUE(technician.addSnapshot(site.id, SnapshotKind::Manual, imageWith("Kamra", "1111"), {}, 2))
        << technician.error().toStdString();
    ASSERT_TRUE(technician.recordWrite(site.id, true, QStringLiteral("GG"), imageWith("Kamra", "2222"), {}, 2));
    const Who who = technician.history(site.id).front().who;
    EXPECT_EQ(who.dbRole, login.name);
    EXPECT_FALSE(who.osUser.isEmpty());
    EXPECT_FALSE(who.host.isEmpty());
    EXPECT_EQ(technician.audit(site.id).front().who.dbRole, login.name);
    EXPECT_EQ(owner.audit(site.id).back().who.dbRole, qEnvironmentVariable("PGUSER"));
    // The server's word, not the client's: a row naming an actor of
    // another role names the session's own, with the OS user and host
    // given; and an actor once named is never renamed.
    LoginConnection plain(login, database);
    ASSERT_TRUE(plain.exec(QStringLiteral("INSERT INTO actors (db_role, os_user, host) VALUES ('valaki', 'u', 'h')")));
    ASSERT_TRUE(plain.exec(QStringLiteral("INSERT INTO snapshots (site_id, taken_at, kind, sha256, image, actor_id)"
                                          " VALUES (%1, '2030-01-01T00:00:00.000Z', 'manual', 'x', '\\x00',"
                                          " (SELECT id FROM actors WHERE db_role = 'valaki'))")
                               .arg(site.id)));
    EXPECT_EQ(plain.value(QStringLiteral("SELECT a.db_role || '/' || a.os_user || '/' || a.host FROM snapshots s"
                                         " JOIN actors a ON a.id = s.actor_id WHERE s.sha256 = 'x'"))
                  .toString(),
              login.name + QStringLiteral("/u/h"));
    EXPECT_FALSE(plain.exec(QStringLiteral("UPDATE actors SET db_role = 'valaki'")));
    EXPECT_FALSE(plain.exec(QStringLiteral("UPDATE snapshots SET actor_id = NULL WHERE sha256 = 'x'")) &&
                 plain.value(QStringLiteral("SELECT actor_id IS NULL FROM snapshots WHERE sha256 = 'x'")).toBool());

    // The kept secrets: read, not changed; an admin changes them.
    const auto kept = technician.siteSecret(site.id);
    ASSERT_TRUE(kept) << technician.error().toStdString();
    EXPECT_EQ(kept->installerCode, QStringLiteral("4321"));
    EXPECT_FALSE(technician.keepSiteSecret(site.id, {QStringLiteral("1"), {}}));
    EXPECT_EQ(technician.failure(), SiteBook::Failure::Denied);
    const Login adminLogin = makeLogin(url, roles::kAdmin);
    SiteBook admin;
    ASSERT_TRUE(admin.open(adminLogin.url)) << admin.error().toStdString();
    EXPECT_TRUE(admin.rights().keepSecrets);
    ASSERT_TRUE(admin.keepSiteSecret(site.id, {QStringLiteral("7777"), {}})) << admin.error().toStdString();
    EXPECT_EQ(technician.siteSecret(site.id)->installerCode, QStringLiteral("7777"));
    ASSERT_TRUE(admin.forgetSiteSecret(site.id));
    EXPECT_TRUE(technician.siteSecret(site.id)->empty());
}

TEST(FileBook, EveryRowNamesItsOsUserAndHostAndTheBookHasNoRoles) {
    ensureQtCoreApp();
    QTemporaryDir dir;
    SiteBook book;
    ASSERT_TRUE(book.open(dir.filePath("sitebook.sqlite")));
    EXPECT_EQ(book.rights().role, QString());
    EXPECT_TRUE(book.rights().operateModules && book.rights().seeCodes && book.rights().keepSecrets);
    Site s;
    s.name = QStringLiteral("Saját");
    ASSERT_TRUE(book.saveSite(s));
    ASSERT_TRUE(book.addSnapshot(s.id, SnapshotKind::Read, imageWith("A", "1"), {}, 2));
    ASSERT_TRUE(book.recordWrite(s.id, true, QStringLiteral("GG"), imageWith("B", "1"), {}, 2));
    const auto batch = book.addBatch(BatchKind::Apply, {});
    ASSERT_TRUE(batch);
    for (const Who& who : {book.history(s.id).back().who, book.audit(s.id).front().who, book.batch(*batch)->who}) {
        EXPECT_EQ(who.dbRole, QString());
        EXPECT_EQ(who, book.who());
        EXPECT_FALSE(who.osUser.isEmpty());
        EXPECT_FALSE(who.host.isEmpty());
    }
    EXPECT_EQ(whoLine(book.who()), book.who().osUser + QLatin1Char('@') + book.who().host);
    EXPECT_FALSE(book.initRoles());
    EXPECT_FALSE(book.keepSiteSecret(s.id, {QStringLiteral("1234"), {}}));
}

TEST(FileBook, ABookFromBeforeWhoKeepsItsRowsNamingNobodyAndNamesWhoMadeTheRowsAfter) {
    ensureQtCoreApp();
    QTemporaryDir dir;
    const QString path = dir.filePath("sitebook.sqlite");
    qint64 siteId = 0;
    {
        SiteBook old;
        ASSERT_TRUE(old.open(path, SiteBook::kBusyTimeoutMs, kWhoVersion - 1));
        ASSERT_EQ(old.schemaVersion(), kWhoVersion - 1);  // the event history, no who yet
        Site s;
        s.name = QStringLiteral("Régi");
        ASSERT_TRUE(old.saveSite(s));
        siteId = s.id;
        ASSERT_TRUE(old.addSnapshot(s.id, SnapshotKind::Read, imageWith("A", "1"), {}, 2));
        ASSERT_TRUE(old.recordWrite(s.id, true, QStringLiteral("GG"), imageWith("B", "1"), {}, 2));
        EXPECT_EQ(old.history(s.id).front().who, Who{});
    }
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    EXPECT_EQ(book.schemaVersion(), kSchemaVersion);
    ASSERT_TRUE(book.recordWrite(siteId, true, QStringLiteral("GG"), imageWith("C", "1"), {}, 2));
    const auto history = book.history(siteId);  // newest first
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].who, book.who());
    EXPECT_EQ(history[1].who, Who{});
    EXPECT_EQ(history[2].who, Who{});
    const auto audit = book.audit(siteId);
    ASSERT_EQ(audit.size(), 2u);
    EXPECT_EQ(audit[0].who, book.who());
    EXPECT_EQ(audit[1].who, Who{});
    EXPECT_EQ(whoLine(audit[1].who), QString());
    // The images the old rows hold read back whole.
    ASSERT_TRUE(book.snapshot(history[2].id)) << book.error().toStdString();
    EXPECT_EQ(decode(book.snapshot(history[2].id)->image).zones[0].name, "A");
}
