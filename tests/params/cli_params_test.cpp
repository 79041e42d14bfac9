#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

#include "params/field_catalogue.h"
#include "params/parameter_codec.h"
#include "tests/support/build_paths.h"

using namespace corvanta;

namespace {

struct CliResult {
    int status;
    QByteArray out;
    QString err;
};

CliResult cli(const QStringList& args) {
    QProcess p;
    p.start(QString::fromStdString(CORVANTA_CLI), args);
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
        v.testTime = "07:30";  // an erased memory's FF FF is no time of day
        v.events[2].contactId = "1 3 A";
        v.phones[kPhone1] = {'0', '6', '3', '0'};
        encodeEveryField(v, image);
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

    // Without a base the bytes no field covers travel in "unmapped".
    ASSERT_EQ(cli({"encode", path("values.json"), "-o", path("bare.cd2")}).status, 0);
    EXPECT_EQ(readFile(path("bare.cd2")), base);

    // Without either they are those of an erased memory.
    QJsonObject withoutKey = json;
    withoutKey.remove("unmapped");
    writeFile(path("nokey.json"), QJsonDocument(withoutKey).toJson());
    ASSERT_EQ(cli({"encode", path("nokey.json"), "-o", path("erased.cd2")}).status, 0);
    const QByteArray erased = readFile(path("erased.cd2"));
    EXPECT_EQ(erased.mid(1906), QByteArray(142, '\xFF'));
    EXPECT_EQ(erased.left(1645), base.left(1645));

    // A base wins over the key.
    QJsonObject other = json;
    QJsonObject unmapped = other["unmapped"].toObject();
    unmapped["1901"] = "ABCDEF";
    other["unmapped"] = unmapped;
    writeFile(path("other.json"), QJsonDocument(other).toJson());
    ASSERT_EQ(cli({"encode", path("other.json"), "-o", path("based.cd2"), "--base", path("base.cd2")}).status, 0);
    EXPECT_EQ(readFile(path("based.cd2")), base);
    ASSERT_EQ(cli({"encode", path("other.json"), "-o", path("keyed.cd2")}).status, 0);
    EXPECT_EQ(readFile(path("keyed.cd2")).mid(1901, 3), QByteArray("\xAB\xCD\xEF"));
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

    // Keys further down name every step: an element in an element, a
    // member's element, a member of a member.
    QJsonArray remotes = json["remotes"].toArray();
    QJsonArray buttons = remotes[2].toArray();
    buttons[1] = 99;
    remotes[2] = buttons;
    users = json["users"].toArray();
    user = users[0].toObject();
    QJsonArray rights = user["rights"].toArray();
    rights[15] = "igen";
    user["rights"] = rights;
    users[0] = user;
    QJsonObject keypad = json["keypad"].toObject();
    keypad.remove("zoneView");
    const struct {
        const char* key;
        QJsonValue value;
        const char* named;
    } deep[] = {{"remotes", remotes, "remotes[2][1]: "},
                {"users", users, "users[0].rights[15]: expected true or false"},
                {"keypad", keypad, "keypad.zoneView: missing"}};
    for (const auto& d : deep) {
        QJsonObject bad = json;
        bad[d.key] = d.value;
        writeFile(path("deep.json"), QJsonDocument(bad).toJson());
        r = cli({"encode", path("deep.json"), "-o", path("out.cd2")});
        EXPECT_EQ(r.status, 2) << d.named;
        EXPECT_TRUE(r.err.contains(d.named)) << r.err.toStdString();
    }

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

TEST_F(CliParams, EncodeTakesBackWhatDecodePrintedOfAnyImageAndWarnsWhereWriteWouldRefuse) {
    // Garbage bytes decode to clamped numbers, odd texts, codes with letters
    // and a test time past the day: all go back as they were, with and
    // without the image as the base. Only the installer code, which write
    // refuses, is worth a word.
    QByteArray garbage(2048, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 151 + 17) % 256);
    writeFile(path("garbage.cd2"), garbage);
    const CliResult decoded = cli({"decode", path("garbage.cd2")});
    ASSERT_EQ(decoded.status, 0);
    writeFile(path("garbage.json"), decoded.out);
    for (const QStringList& extra : {QStringList{"--base", path("garbage.cd2")}, QStringList{}}) {
        const CliResult r = cli(QStringList{"encode", path("garbage.json"), "-o", path("out.cd2")} + extra);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(readFile(path("out.cd2")), garbage);
        EXPECT_TRUE(r.err.contains("installerCode")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("write refuses")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }

    // Codes and a time set right go in as typed; the module's own bytes stay.
    QJsonObject json = QJsonDocument::fromJson(decoded.out).object();
    json["installerCode"] = "123456";
    json["testTime"] = "23:59";
    QJsonArray users = json["users"].toArray();
    for (auto&& u : users) {
        QJsonObject user = u.toObject();
        user["code"] = "******";
        u = user;
    }
    json["users"] = users;
    writeFile(path("fixed.json"), QJsonDocument(json).toJson());
    CliResult r = cli({"encode", path("fixed.json"), "-o", path("out.cd2"), "--base", path("garbage.cd2")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("write refuses")) << r.err.toStdString();
    const QByteArray fixed = readFile(path("out.cd2"));
    EXPECT_EQ(fixed.mid(1906), garbage.mid(1906));
    EXPECT_EQ(fixed.mid(1853, 2), QByteArray("\x17\x3B"));
    EXPECT_EQ(fixed.mid(180, 3), QByteArray("\xED\xCB\xA9"));

    // The rules still hold for what was typed: a code with a letter that the
    // image does not hold is refused.
    json["installerCode"] = "12a4";
    writeFile(path("typed.json"), QJsonDocument(json).toJson());
    r = cli({"encode", path("typed.json"), "-o", path("out.cd2"), "--base", path("garbage.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("installerCode: the installer code must be 4 or 6 digits")) << r.err.toStdString();
}

// Found with images other than the factory's: two values changed in the JSON
// of an image full of bytes outside the format changed some 160 fields.
TEST_F(CliParams, EncodeOntoTheBaseChangesOnlyTheFieldsWhoseValueChanged) {
    QByteArray odd(2048, '\0');
    for (int i = 0; i < odd.size(); ++i) odd[i] = static_cast<char>((i * 97 + 251) % 256);
    writeFile(path("odd.cd2"), odd);
    const CliResult decoded = cli({"decode", path("odd.cd2")});
    ASSERT_EQ(decoded.status, 0);
    QJsonObject json = QJsonDocument::fromJson(decoded.out).object();
    EXPECT_GT(json["outOfFormat"].toObject().size(), 100);
    QJsonArray zones = json["zones"].toArray();
    QJsonObject zone = zones[2].toObject();
    zone["entryDelay"] = 42;
    zones[2] = zone;
    json["zones"] = zones;
    QJsonArray users = json["users"].toArray();
    QJsonObject user = users[1].toObject();
    user["name"] = "Kiss Anna";
    users[1] = user;
    json["users"] = users;
    writeFile(path("edited.json"), QJsonDocument(json).toJson());

    const CliResult r = cli({"encode", path("edited.json"), "-o", path("out.cd2"), "--base", path("odd.cd2")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray out = readFile(path("out.cd2"));
    const auto* entryDelay = fields::fieldAt("zones[2].entryDelay");
    const auto* name = fields::fieldAt("users[1].name");
    for (int i = 0; i < out.size(); ++i) {
        const bool inEdited = (std::size_t(i) >= entryDelay->offset && std::size_t(i) < entryDelay->offset + 1) ||
                              (std::size_t(i) >= name->offset && std::size_t(i) < name->offset + 10);
        if (!inEdited) {
            EXPECT_EQ(out[i], odd[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(out[int(entryDelay->offset)], char(42));
    EXPECT_EQ(out.mid(int(name->offset), 10), QByteArray("Kiss Anna "));

    // The same, written as the site book and compare --fields see it.
    const CliResult d = cli({"diff", path("odd.cd2"), path("out.cd2")});
    EXPECT_EQ(d.out.count('\n'), 2) << d.out.toStdString();
}

TEST_F(CliParams, EncodeRefusesWhatItWouldStoreDifferently) {
    const QJsonObject json = decodedJson();
    auto withUser0 = [&](const char* key, const QString& value) {
        QJsonObject j = json;
        QJsonArray users = j["users"].toArray();
        QJsonObject user = users[0].toObject();
        user[key] = value;
        users[0] = user;
        j["users"] = users;
        return j;
    };
    auto with = [&](const char* key, const QString& value) {
        QJsonObject j = json;
        j[key] = value;
        return j;
    };
    const struct {
        QJsonObject values;
        const char* key;
    } cases[] = {
        {withUser0("name", QStringLiteral("Kov") + QChar(0) + "cs"), "users[0].name"},  // decode skips NUL
        {withUser0("name", QStringLiteral("Kov\u02D9cs")), "users[0].name"},  // "˙" is byte 0xFF
        {withUser0("code", QStringLiteral("12*4")), "users[0].code"},
        {withUser0("code", QStringLiteral("12F4")), "users[0].code"},
        {withUser0("code", QStringLiteral("12345")), "users[0].code"},
        {with("installerCode", QStringLiteral("******")), "installerCode"},
        {with("installerCode", QStringLiteral("1")), "installerCode"},
        {with("installerCode", QString()), "installerCode"},
        {with("testTime", QStringLiteral("99:99")), "testTime"},
        {with("testTime", QStringLiteral("24:00")), "testTime"},
    };
    for (const auto& c : cases) {
        writeFile(path("bad.json"), QJsonDocument(c.values).toJson());
        const CliResult r = cli({"encode", path("bad.json"), "-o", path("out.cd2")});
        EXPECT_EQ(r.status, 2) << c.key;
        EXPECT_TRUE(r.err.contains(c.key)) << r.err.toStdString();
    }
    // QJsonDocument cannot build a lone surrogate; the file holds one as typed.
    QByteArray text = QJsonDocument(json).toJson();
    text.replace("\"Bej\xC3\xA1rat\"", "\"Bej\\ud800rat\"");
    writeFile(path("surrogate.json"), text);
    CliResult r = cli({"encode", path("surrogate.json"), "-o", path("out.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("zones[0].name")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("out.cd2")));

    // A one-digit hour is that hour, as the editor takes it.
    writeFile(path("time.json"), QJsonDocument(with("testTime", QStringLiteral("7_:05"))).toJson());
    ASSERT_EQ(cli({"encode", path("time.json"), "-o", path("out.cd2")}).status, 0);
    EXPECT_EQ(readFile(path("out.cd2")).mid(1853, 2), QByteArray("\x07\x05"));

    // Blanks after a name are the image's padding: a full-length name with
    // some is taken, and the value read is the one stored.
    QJsonObject padded = json;
    QJsonArray zones = padded["zones"].toArray();
    QJsonObject zone = zones[0].toObject();
    zone["name"] = QStringLiteral("Hátsó ajtó  ");
    zones[0] = zone;
    padded["zones"] = zones;
    writeFile(path("padded.json"), QJsonDocument(padded).toJson());
    ASSERT_EQ(cli({"encode", path("padded.json"), "-o", path("out.cd2")}).status, 0);
    const CliResult back = cli({"decode", path("out.cd2")});
    EXPECT_EQ(QJsonDocument::fromJson(back.out)["zones"][0]["name"].toString(), QStringLiteral("Hátsó ajtó"));
}

TEST_F(CliParams, OutputsAreCheckedAndAFailedWriteKeepsTheOldFile) {
    writeFile(path("values.json"), QJsonDocument(decodedJson()).toJson());
    // A folder, a FIFO, a missing folder: refused as bad usage, nothing made.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    for (const QString& target : {dir.path(), path("fifo"), path("no/such/folder.cd2")}) {
        const CliResult r = cli({"encode", path("values.json"), "-o", target});
        EXPECT_EQ(r.status, 2) << target.toStdString();
        EXPECT_TRUE(r.err.contains(target)) << r.err.toStdString();
    }
    EXPECT_EQ(QFileInfo(path("fifo")).isFile(), false);

    // A disk that fills up: the child's files may not grow past 1000 bytes.
    writeFile(path("old.cd2"), base);
    QProcess p;
    p.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &r);
    });
    p.start(QString::fromStdString(CORVANTA_CLI), {"encode", path("values.json"), "-o", path("old.cd2")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(err.contains(path("old.cd2") + ": Disk full")) << err.toStdString();
    EXPECT_EQ(readFile(path("old.cd2")), base);
}

TEST_F(CliParams, InputsAreReadOnlyAsFarAsAValidFileGoes) {
    // /dev/zero would be read until memory runs out.
    CliResult r = cli({"decode", "/dev/zero"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("/dev/zero")) << r.err.toStdString();
    writeFile(path("long.cd2"), base + "x");
    EXPECT_EQ(cli({"decode", path("long.cd2")}).status, 2);
    writeFile(path("huge.json"), QByteArray(2 << 20, ' '));
    r = cli({"encode", path("huge.json"), "-o", path("out.cd2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("huge.json")) << r.err.toStdString();
}

// The field diff and the JSON documentation name fields by key path; each
// path must lead to a value in what decode prints.
TEST_F(CliParams, EveryCataloguePathIsAKeyOfDecodesJson) {
    const QJsonValue root = decodedJson();
    for (const auto& field : fields::catalogue().fields) {
        QJsonValue v = root;
        const QString path = QString::fromStdString(field.path);
        // "zones[2].entryDelay" -> zones, [2], entryDelay
        static const QRegularExpression step(QStringLiteral(R"(([A-Za-z]+)|\[(\d+)\])"));
        for (auto it = step.globalMatch(path); it.hasNext();) {
            const auto m = it.next();
            v = m.captured(1).isEmpty() ? v.toArray().at(m.captured(2).toInt()) : v.toObject().value(m.captured(1));
        }
        EXPECT_FALSE(v.isUndefined() || v.isNull() || v.isObject() || v.isArray()) << field.path;
    }
}

TEST_F(CliParams, OptionsThatAreNotWhatTheySeemAreRefusedBeforeAnythingIsDone) {
    writeFile(path("values.json"), QJsonDocument(decodedJson()).toJson());
    const QString json = path("values.json");
    const QString out = path("out.cd2");
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"encode", json, "-o", out, "-o", path("other.cd2")}, "option -o is given twice"},
        {{"encode", json, "-o", out, "--output", path("other.cd2")}, "option -o is given twice"},
        {{"encode", json, "-o", out, "--base=" + path("base.cd2"), "--base", path("base.cd2")},
         "option --base is given twice"},
        {{"encode", json, "-o", ""}, "option -o needs a value, not an empty one"},
        {{"encode", json, "-o", out, "--bsae", path("base.cd2")}, "unknown option --bsae"},
        {{"decode", path("base.cd2"), "--base", path("base.cd2")}, "unknown option --base"},
        // Cut to "12" before, which logs in with another code than typed.
        {{"version", "--code", "12ab", "--port", path("no-such-port")}, "--code takes the installer code's digits, not \"12ab\""},
    };
    for (const auto& c : cases) {
        const CliResult r = cli(c.args);
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.says;
    }
    // The code from the environment is checked alike, and never repeated.
    qputenv("CORVANTA_CODE", "12ab");
    const CliResult fromEnv = cli({"version", "--port", path("no-such-port")});
    qunsetenv("CORVANTA_CODE");
    EXPECT_EQ(fromEnv.status, 2);
    EXPECT_TRUE(fromEnv.err.contains("CORVANTA_CODE holds something other than the installer code's digits"))
        << fromEnv.err.toStdString();
    EXPECT_FALSE(fromEnv.err.contains("12ab"));
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(path("other.cd2")));
    // Once, --output is -o.
    EXPECT_EQ(cli({"encode", json, "--output", out}).status, 0);
    EXPECT_EQ(readFile(out), base);
}
