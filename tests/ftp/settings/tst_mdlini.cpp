// The FTP client's INI module on real files: what User.ini and Ftp.ini look
// like byte for byte after each kind of write.

#include "ftp/settings/mdl_ini.h"
#include "common/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tw;

namespace {

const QString kDef = QStringLiteral("<default>");

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

unsigned modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? unsigned(st.st_mode & 07777) : 0u;
}

// A null array stands for "no file".
QString makeFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("test.ini"));
    QFile f(path);
    if (!bytes.isNull() && f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

const QByteArray kTwoSections =
    "[A]\r\n"
    "Server=a.example\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "\r\n"
    "[B]\r\n"
    "Server=b.example\r\n"
    "Only=b\r\n";

}  // namespace

class TestMdlIni : public QObject {
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray s = kTwoSections;
        QTest::newRow("key of the section") << s << "B"
                                            << "Server"
                                            << "b.example";
        QTest::newRow("first of two keys") << s << "A"
                                           << "Dup"
                                           << "first";
        QTest::newRow("key only in a later section") << s << "A"
                                                     << "Only" << kDef;
        QTest::newRow("section name case matters") << s << "a"
                                                   << "Server" << kDef;
        QTest::newRow("key case matters") << s << "B"
                                          << "server" << kDef;
        QTest::newRow("missing section") << s << "C"
                                         << "Server" << kDef;
        QTest::newRow("no file") << QByteArray() << "A"
                                 << "Server" << kDef;
        QTest::newRow("empty file") << QByteArray("") << "A"
                                    << "Server" << kDef;
        QTest::newRow("value kept as it stands") << QByteArray("[S]\r\nK= spaced = \"q\" \r\n") << "S"
                                                 << "K"
                                                 << " spaced = \"q\" ";
        QTest::newRow("empty value is a value") << QByteArray("[S]\r\nK=\r\n") << "S"
                                                << "K"
                                                << "";
        QTest::newRow("no trimming of the key") << QByteArray("[S]\r\n K=x\r\n") << "S"
                                                << "K" << kDef;
        QTest::newRow("no trimming of the section") << QByteArray("[ S ]\r\nK=x\r\n") << "S"
                                                    << "K" << kDef;
        QTest::newRow("semicolon is no comment") << QByteArray("[S]\r\n;K=x\r\nK=y\r\n") << "S"
                                                 << ";K"
                                                 << "x";
        QTest::newRow("LF-only file") << QByteArray("[S]\nK=lf\n") << "S"
                                      << "K"
                                      << "lf";
        QTest::newRow("CP932 value") << QByteArray("[S]\r\nK=\x93\xfa\x96\x7b\r\n") << "S"
                                     << "K" << QStringLiteral("日本");
        // C8 BA is also valid UTF-8: the file is CP932 all the same.
        QTest::newRow("katakana section") << QByteArray("[\xc8\xba]\r\nK=\xd0\xbd\r\n") << "ﾈｺ"
                                          << "K"
                                          << "ﾐｽ";
        QTest::newRow("prefix of a longer key is no match") << QByteArray("[S]\r\nKey2=x\r\n") << "S"
                                                            << "Key" << kDef;
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QTemporaryDir dir;
        QTEST(IniRead(makeFile(dir, bytes), section, key, kDef), "expected");
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray() << "P"
                                 << "Server"
                                 << "h" << QByteArray("[P]\r\nServer=h\r\n");
        QTest::newRow("empty file keeps an empty first line") << QByteArray("") << "P"
                                                              << "Server"
                                                              << "h" << QByteArray("\r\n[P]\r\nServer=h\r\n");
        QTest::newRow("first key replaced, later duplicate kept")
            << kTwoSections << "A"
            << "Dup"
            << "new"
            << QByteArray(
                   "[A]\r\nServer=a.example\r\nDup=new\r\nDup=second\r\n\r\n[B]\r\nServer=b.example\r\nOnly=b\r\n");
        QTest::newRow("new key goes before the empty separator")
            << kTwoSections << "A"
            << "User"
            << "u"
            << QByteArray(
                   "[A]\r\nServer=a.example\r\nDup=first\r\nDup=second\r\nUser=u\r\n\r\n[B]\r\nServer=b."
                   "example\r\nOnly=b\r\n");
        QTest::newRow("new key at the end of a section without separator")
            << QByteArray("[A]\r\nX=1\r\n[B]\r\nY=2\r\n") << "A"
            << "Z"
            << "3" << QByteArray("[A]\r\nX=1\r\nZ=3\r\n[B]\r\nY=2\r\n");
        QTest::newRow("new key in the last section")
            << kTwoSections << "B"
            << "New"
            << "n"
            << QByteArray(
                   "[A]\r\nServer=a.example\r\nDup=first\r\nDup=second\r\n\r\n[B]\r\nServer=b.example\r\nOnly=b\r\nNew="
                   "n\r\n");
        QTest::newRow("missing section appended right after the last line")
            << kTwoSections << "C"
            << "K"
            << "v"
            << QByteArray(
                   "[A]\r\nServer=a.example\r\nDup=first\r\nDup=second\r\n\r\n[B]\r\nServer=b.example\r\nOnly=b\r\n[C]"
                   "\r\nK=v\r\n");
        QTest::newRow("replace in the last section")
            << kTwoSections << "B"
            << "Server"
            << "z"
            << QByteArray("[A]\r\nServer=a.example\r\nDup=first\r\nDup=second\r\n\r\n[B]\r\nServer=z\r\nOnly=b\r\n");
        QTest::newRow("lines before any section pass through") << QByteArray("junk line\r\n[S]\r\n") << "S"
                                                               << "K"
                                                               << "v" << QByteArray("junk line\r\n[S]\r\nK=v\r\n");
        QTest::newRow("file without a final break") << QByteArray("[S]\r\nK=old") << "S"
                                                    << "K"
                                                    << "new" << QByteArray("[S]\r\nK=new\r\n");
        QTest::newRow("value written in CP932")
            << QByteArray() << "S"
            << "K" << QStringLiteral("～①") << QByteArray("[S]\r\nK=\x81\x60\x87\x40\r\n");
        QTest::newRow("empty value") << QByteArray("[S]\r\nK=x\r\n") << "S"
                                     << "K"
                                     << "" << QByteArray("[S]\r\nK=\r\n");
        QTest::newRow("katakana profile next to another")
            << QByteArray("[\xc8\xba]\r\nK=1\r\n") << "ﾐｽ"
            << "K"
            << "2" << QByteArray("[\xc8\xba]\r\nK=1\r\n[\xd0\xbd]\r\nK=2\r\n");
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = makeFile(dir, before);
        QVERIFY(IniWrite(path, section, key, value));
        QTEST(bytesOf(path), "after");
        QCOMPARE(IniRead(path, section, key, kDef), value);
    }

    void writeTwiceKeepsOneLine()
    {
        QTemporaryDir dir;
        const QString path = makeFile(dir, QByteArray());
        QVERIFY(IniWrite(path, "S", "K", "1"));
        QVERIFY(IniWrite(path, "S", "K", "2"));
        QCOMPARE(bytesOf(path), QByteArray("[S]\r\nK=2\r\n"));
    }

    void refusedWrites_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("CR LF in a value would forge a section") << "S"
                                                                << "K"
                                                                << "x\r\n[Other]";
        QTest::newRow("LF in a key") << "S"
                                     << "K\nX"
                                     << "v";
        QTest::newRow("CR in a section") << "S\r"
                                         << "K"
                                         << "v";
        QTest::newRow("character CP932 cannot hold") << "S"
                                                     << "K" << QStringLiteral("😀");
    }
    void refusedWrites()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QByteArray before = "[S]\r\nK=old\r\n";
        const QString path = makeFile(dir, before);
        QVERIFY(!IniWrite(path, section, key, value));
        QCOMPARE(bytesOf(path), before);
    }

    void writeCreatesTheFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Setting/Ftp.ini"));
        QVERIFY(IniWrite(path, "Skyport", "User", "me"));
        QCOMPARE(bytesOf(path), QByteArray("[Skyport]\r\nUser=me\r\n"));
    }

    void ownerOnlyFiles_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new file") << false;
        QTest::newRow("existing readable file") << true;
    }
    void ownerOnlyFiles()
    {
        QFETCH(bool, existing);
        QTemporaryDir dir;
        const QString path = makeFile(dir, existing ? QByteArray("[S]\r\n") : QByteArray());
        if (existing)
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                            | QFileDevice::ReadGroup);
        QVERIFY(IniWrite(path, "S", "PassWord", "097123", IniAccess::OwnerOnly));
        QCOMPARE(modeOf(path), 0600u);
        // Later writes and deletes keep the file private.
        QVERIFY(IniWrite(path, "S", "Server", "h"));
        QVERIFY(IniDelete(path, "Other"));
        QCOMPARE(modeOf(path), 0600u);
    }

    void remove_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first section with its keys and separator")
            << kTwoSections << "A" << QByteArray("[B]\r\nServer=b.example\r\nOnly=b\r\n");
        QTest::newRow("last section") << kTwoSections << "B"
                                      << QByteArray("[A]\r\nServer=a.example\r\nDup=first\r\nDup=second\r\n\r\n");
        QTest::newRow("missing section changes nothing") << kTwoSections << "C" << kTwoSections;
        QTest::newRow("lines before any section stay")
            << QByteArray("top\r\n[A]\r\nX=1\r\n") << "A" << QByteArray("top\r\n");
    }
    void remove()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QTemporaryDir dir;
        const QString path = makeFile(dir, before);
        QVERIFY(IniDelete(path, section));
        QTEST(bytesOf(path), "after");
    }

    void removeWithoutFile()
    {
        QTemporaryDir dir;
        const QString path = makeFile(dir, QByteArray());
        QVERIFY(!IniDelete(path, "A"));
        QVERIFY(!QFileInfo::exists(path));
    }

    void lineStartsWith_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("starts");
        QTest::newRow("exact prefix") << "Server=h"
                                      << "Server=" << true;
        QTest::newRow("case differs") << "server=h"
                                      << "Server=" << false;
        QTest::newRow("shorter line") << "Ser"
                                      << "Server=" << false;
        QTest::newRow("empty prefix") << "x"
                                      << "" << true;
        QTest::newRow("leading space") << " Server=h"
                                       << "Server=" << false;
    }
    void lineStartsWith()
    {
        QFETCH(QString, line);
        QFETCH(QString, prefix);
        QFETCH(bool, starts);
        QCOMPARE(LineStartsWith(line, prefix), starts ? 0 : 1);
    }

    void sections_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("file order") << kTwoSections << QStringList{"A", "B"};
        QTest::newRow("no file") << QByteArray() << QStringList();
        QTest::newRow("names as they stand")
            << QByteArray("[ spaced ]\r\n[]\r\n[a]b]\r\n[not\r\nplain\r\n") << QStringList{" spaced ", "", "a]b"};
        QTest::newRow("CP932 name") << QByteArray("[\x8e\x84\x82\xcc\x83\x54\x83\x43\x83\x67]\r\n")
                                    << QStringList{QStringLiteral("私のサイト")};
    }
    void sections()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QTEST(IniSections(makeFile(dir, bytes)), "names");
    }
};

QTEST_GUILESS_MAIN(TestMdlIni)
#include "tst_mdlini.moc"
