#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "params/parameter_codec.h"

using namespace corvanta;

namespace {

struct CliResult {
    int status;
    QByteArray out;
    QString err;
};

CliResult cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(CORVANTA_CLI), args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray imageBytes(const ParameterImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
}

class CliParams : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A normalised image with module bytes in the preserved ranges.
        ParameterImage image;
        image.fill(0xFF);
        ParameterValues v = decode(image);
        v.zones[0].name = "Bejárat";
        v.users[0].code = "1234";
        v.events[2].contactId = "1 3 A";
        v.phones[kPhone1] = {'0', '6', '3', '0'};
        encode(v, image);
        for (std::size_t i = 1906; i < 2048; ++i) image[i] = static_cast<std::uint8_t>(i * 7);
        base = imageBytes(image);
        writeFile(path("base.cd2"), base);
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QJsonObject decodedJson() {
        const CliResult r = cli({"decode", path("base.cd2")});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out).object();
    }

    QTemporaryDir dir;
    QByteArray base;
};

}  // namespace

TEST_F(CliParams, DecodeThenEncodeGivesTheSameImage) {
    const QJsonObject json = decodedJson();
    EXPECT_EQ(json["zones"].toArray()[0].toObject()["name"].toString(), QString("Bejárat"));
    EXPECT_EQ(json["phones"].toArray()[0].toString(), QString("0630"));
    writeFile(path("values.json"), QJsonDocument(json).toJson());

    const CliResult r = cli({"encode", path("values.json"), "-o", path("out.cd2"), "--base", path("base.cd2")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(readFile(path("out.cd2")), base);

    // Without a base the untouched bytes are those of an erased memory.
    ASSERT_EQ(cli({"encode", path("values.json"), "-o", path("bare.cd2")}).status, 0);
    const QByteArray bare = readFile(path("bare.cd2"));
    ASSERT_EQ(bare.size(), 2048);
    EXPECT_EQ(bare.mid(1906), QByteArray(142, '\xFF'));
    EXPECT_EQ(bare.left(1906), base.left(1906));
}

TEST_F(CliParams, RefusalNamesFileAndKeyAndWritesNothing) {
    writeFile(path("out.cd2"), "previous");
    QJsonObject json = decodedJson();

    QJsonArray zones = json["zones"].toArray();
    QJsonObject zone = zones[3].toObject();
    zone.remove("entryDelay");
    zones[3] = zone;
    QJsonObject missing = json;
    missing["zones"] = zones;
    writeFile(path("missing.json"), QJsonDocument(missing).toJson());
    CliResult r = cli({"encode", path("missing.json"), "-o", path("out.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("missing.json")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("zones[3].entryDelay")) << r.err.toStdString();

    QJsonObject outOfRange = json;
    outOfRange["nightWalkTime"] = 0;
    writeFile(path("range.json"), QJsonDocument(outOfRange).toJson());
    r = cli({"encode", path("range.json"), "-o", path("out.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("nightWalkTime")) << r.err.toStdString();

    // A name the module could only store as question marks.
    QJsonArray users = json["users"].toArray();
    QJsonObject user = users[0].toObject();
    user["name"] = QStringLiteral("K\u00e1lm\u00e1n \u4e2d");
    users[0] = user;
    QJsonObject foreign = json;
    foreign["users"] = users;
    writeFile(path("foreign.json"), QJsonDocument(foreign).toJson());
    r = cli({"encode", path("foreign.json"), "-o", path("out.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("users[0].name")) << r.err.toStdString();

    writeFile(path("broken.json"), "{\"installerCode\": ");
    r = cli({"encode", path("broken.json"), "-o", path("out.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("broken.json")) << r.err.toStdString();

    EXPECT_EQ(readFile(path("out.cd2")), QByteArray("previous"));
}

TEST_F(CliParams, ShortOrMissingFilesAreRefused) {
    writeFile(path("short.cd2"), base.left(100));
    CliResult r = cli({"decode", path("short.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("short.cd2"));
    EXPECT_TRUE(r.out.isEmpty());

    writeFile(path("values.json"), QJsonDocument(decodedJson()).toJson());
    r = cli({"encode", path("values.json"), "-o", path("out.cd2"), "--base", path("short.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(QFile::exists(path("out.cd2")));

    EXPECT_EQ(cli({"decode", path("nothing.cd2")}).status, 2);
    EXPECT_EQ(cli({"encode", path("values.json")}).status, 2);  // no -o
}

TEST_F(CliParams, EncodeAcceptsWhateverDecodePrints) {
    // Garbage bytes decode to letters in codes, clamped times and odd texts.
    QByteArray garbage(2048, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 151 + 17) % 256);
    writeFile(path("garbage.cd2"), garbage);
    const CliResult decoded = cli({"decode", path("garbage.cd2")});
    ASSERT_EQ(decoded.status, 0);
    writeFile(path("garbage.json"), decoded.out);
    const CliResult r = cli({"encode", path("garbage.json"), "-o", path("out.cd2"), "--base", path("garbage.cd2")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(readFile(path("out.cd2")).mid(1906), garbage.mid(1906));
}
