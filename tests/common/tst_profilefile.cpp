#include "common/profilefile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;

namespace {

const QString kDef = QStringLiteral("<default>");

// A null array stands for "no file".
QString makeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!bytes.isNull() && f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kSample =
    "top=before any section\r\n"
    "[Settings]\r\n"
    "Width=640\r\n"
    "Empty=\r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='one'\r\n"
    "Unmatched=\"abc\r\n"
    "Lone=\"\r\n"
    "  Padded \t= \tvalue with blanks\t \r\n"
    "Wide=\x81\x40x\x81\x40\r\n"  // ideographic spaces around x
    ";Comment=hidden\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "Eq=a=b=c\r\n"
    "[ Other Section ]\r\n"
    "key=other\r\n";

}  // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray s = kSample;
        QTest::newRow("key without case") << s << "Settings"
                                          << "WIDTH"
                                          << "640";
        QTest::newRow("section without case or blanks") << s << "other SECTION"
                                                        << "Key"
                                                        << "other";
        QTest::newRow("empty value is not the default") << s << "settings"
                                                        << "empty"
                                                        << "";
        QTest::newRow("missing key") << s << "Settings"
                                     << "Height" << kDef;
        QTest::newRow("missing section") << s << "Nowhere"
                                         << "Width" << kDef;
        QTest::newRow("key of another section") << s << "Settings"
                                                << "key" << kDef;
        QTest::newRow("key before any section") << s << ""
                                                << "top" << kDef;
        QTest::newRow("commented key") << s << "Settings"
                                       << "Comment" << kDef;
        QTest::newRow("double quotes removed") << s << "Settings"
                                               << "Quoted"
                                               << "  spaced  ";
        QTest::newRow("single quotes removed") << s << "Settings"
                                               << "Single"
                                               << "one";
        QTest::newRow("unmatched quote kept") << s << "Settings"
                                              << "Unmatched"
                                              << "\"abc";
        QTest::newRow("lone quote kept") << s << "Settings"
                                         << "Lone"
                                         << "\"";
        QTest::newRow("blanks and tabs trimmed") << s << "Settings"
                                                 << "padded"
                                                 << "value with blanks";
        QTest::newRow("ideographic spaces kept") << s << "Settings"
                                                 << "Wide"
                                                 << "\u3000x\u3000";
        QTest::newRow("first of two keys") << s << "Settings"
                                           << "Dup"
                                           << "first";
        QTest::newRow("value holding =") << s << "Settings"
                                         << "Eq"
                                         << "a=b=c";
        QTest::newRow("cut at 1023") << QByteArray("[s]\r\nk=" + QByteArray(2000, 'v')) << "s"
                                     << "k" << QString(1023, u'v');
        QTest::newRow("cp932") << QByteArray::fromHex("5b955c8ea65d0d0a96bc914f3dfbfc8bb481608740") << "表示"
                               << "名前"
                               << "髙橋～①";
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = makeFile(dir, QStringLiteral("a.ini"), bytes);
        const ProfileFile p(path);
        QCOMPARE(p.readString(section, key, kDef), expected);
    }

    // The whole file after one write and save; the one-call form gives the same.
    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first key replaced, later one kept") << QByteArray("[a]\r\n  k = 1\r\nK=2\r\n") << "A"
                                                            << "K"
                                                            << "new" << QByteArray("[a]\r\nK=new\r\nK=2\r\n");
        QTest::newRow("added before the blank line of the next section")
            << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n") << "a"
            << "z"
            << "3" << QByteArray("[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
        QTest::newRow("added to an empty section") << QByteArray("[Alpha]\r\n\r\n[b]\r\n") << "ALPHA"
                                                   << "k"
                                                   << "v" << QByteArray("[Alpha]\r\nk=v\r\n\r\n[b]\r\n");
        QTest::newRow("missing section at the very end")
            << QByteArray("[a]\r\n\r\n[b]\r\ny=2\r\n") << "c"
            << "k"
            << "v" << QByteArray("[a]\r\n\r\n[b]\r\ny=2\r\n[c]\r\nk=v\r\n");
        QTest::newRow("comments and unknown lines survive")
            << QByteArray("; head\r\nfree text\r\n[a]\r\n;x=0\r\nother=z\r\nx=1") << "a"
            << "x"
            << "9" << QByteArray("; head\r\nfree text\r\n[a]\r\n;x=0\r\nother=z\r\nx=9\r\n");
        QTest::newRow("lf file saved with crlf") << QByteArray("[a]\nx=1\n") << "a"
                                                 << "x"
                                                 << "2" << QByteArray("[a]\r\nx=2\r\n");
        QTest::newRow("file created") << QByteArray() << "s"
                                      << "k"
                                      << "v" << QByteArray("[s]\r\nk=v\r\n");
        QTest::newRow("cp932 bytes kept")
            << QByteArray::fromHex("5b955c8ea65d0d0a8140fbfc0d0a") << "表示"
            << "名前"
            << "﨑ｱ～" << QByteArray::fromHex("5b955c8ea65d0d0a8140fbfc0d0a96bc914f3dfab1b181600d0a");
        QTest::newRow("utf-8 file stays utf-8") << QByteArray("\xef\xbb\xbf[a]\r\nn=\xc3\xa9\r\n") << "a"
                                                << "n"
                                                << "日" << QByteArray("\xef\xbb\xbf[a]\r\nn=\xe6\x97\xa5\r\n");
        // Valid UTF-8 without a BOM is still CP932 here: ﾈｺ (C8 BA) stays ﾈｺ.
        QTest::newRow("kana pair stays cp932") << QByteArray("[a]\r\nn=\xc8\xba\r\n") << "a"
                                               << "m"
                                               << "ﾐｽ" << QByteArray("[a]\r\nn=\xc8\xba\r\nm=\xd0\xbd\r\n");
        QTest::newRow("undecodable bytes kept") << QByteArray("\xff\x00\xfe\x81", 4) << "s"
                                                << "k"
                                                << "v" << QByteArray("\xff\x00\xfe\x81\r\n[s]\r\nk=v\r\n", 16);
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = makeFile(dir, QStringLiteral("a.ini"), before);
        ProfileFile p(path);
        p.writeString(section, key, value);
        const Result saved = p.save();
        QVERIFY(saved);
        QVERIFY(saved.reason().isEmpty());
        QCOMPARE(fileBytes(path), after);
        QCOMPARE(ProfileFile(path).readString(section, key, kDef), value);
    }

    void saveFails_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("named");  // what the message has to name
        QTest::newRow("emoji in cp932") << "a.ini"
                                        << "😀"
                                        << "😀 (U+1F600)";
        QTest::newRow("folder missing") << "no/a.ini"
                                        << "v"
                                        << "";
    }
    void saveFails()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QByteArray old = "[a]\r\nx=1\r\n";
        const QString path = makeFile(dir, name, old);
        ProfileFile p(path);
        p.writeString(QStringLiteral("a"), QStringLiteral("x"), value);
        const Result saved = p.save();
        const QString error = saved.reason();
        QVERIFY(!saved);
        QVERIFY(error.contains(QDir::toNativeSeparators(path)));
        QVERIFY(error.contains(named));
        QCOMPARE(fileBytes(path), QFile::exists(path) ? old : QByteArray());
        QCOMPARE(ProfileFile(path).readString(QStringLiteral("a"), QStringLiteral("x"), kDef),
                 QFile::exists(path) ? QStringLiteral("1") : kDef);
    }

    // Files that are no settings files at all read as (nearly) empty profiles.
    void oddFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QByteArray garbage(1 << 16, Qt::Uninitialized);
        QRandomGenerator gen(932);
        for (char& c : garbage)
            c = char(gen.bounded(256));
        QTest::newRow("binary garbage") << QByteArray("[s]\r\n" + garbage) << kDef;
        QTest::newRow("1 MB line") << QByteArray("[s]\r\nk=" + QByteArray(1 << 20, 'x') + "\r\n")
                                   << QString(ProfileFile::kMaxValue, u'x');
        QTest::newRow("cut between a surrogate pair")
            << QByteArray("\xef\xbb\xbf[s]\r\nk=" + QByteArray(1022, 'x') + "\xf0\x9f\x98\x80") << QString(1022, u'x');
        QTest::newRow("folder") << QByteArray("<folder>") << kDef;
    }
    void oddFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("x.ini"));
        if (bytes == "<folder>")
            QVERIFY(QDir().mkdir(path));
        else
            makeFile(dir, QStringLiteral("x.ini"), bytes);
        ProfileFile p(path);
        QCOMPARE(p.readString(QStringLiteral("s"), QStringLiteral("k"), kDef), expected);
        p.writeString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(p.readString(QStringLiteral("s"), QStringLiteral("k"), kDef), QStringLiteral("v"));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
