// Passwords as User.ini stores them, connection profiles and the program's
// settings in a temporary program folder.

#include "common/appfolder.h"
#include "ftp/settings/mdl_ini.h"
#include "ftp/settings/password.h"
#include "ftp/settings/profiles.h"
#include "tests/testkit/tempappfolder.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace tw;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The three digits of every six-character group.
QString codes(const QString& encoded)
{
    QString out;
    for (qsizetype i = 0; i < encoded.size(); i += 6)
        out += encoded.mid(i, 3) + u' ';
    return out.trimmed();
}

ConnectionProfile sampleProfile(const QString& name)
{
    ConnectionProfile p;
    p.Name = name;
    p.Server = QStringLiteral("ftp.example.jp:2121");
    p.UserName = QStringLiteral("taro");
    p.Password = QStringLiteral("pa55");
    p.TransMode = TransferType::Binary;
    p.LastPathLocal = QStringLiteral("/home/taro/site/");
    p.LastPathHost = QStringLiteral("/public_html/");
    return p;
}

}  // namespace

class TestFtpProfiles : public QObject {
    Q_OBJECT

private slots:
    void encodeShape_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("codes");
        QTest::newRow("abc") << "abc"
                             << "097 098 099";
        QTest::newRow("digits and symbols") << "0 ~"
                                            << "048 032 126";
        QTest::newRow("half-width katakana, one byte each") << QStringLiteral("ｱｲ") << "177 178";
        QTest::newRow("double-byte character, two groups") << QStringLiteral("あ") << "130 160";
        QTest::newRow("empty") << ""
                               << "";
    }
    void encodeShape()
    {
        QFETCH(QString, plain);
        const QString encoded = EncodePassword(plain);
        QTEST(codes(encoded), "codes");
        QCOMPARE(encoded.size() % 6, 0);
        for (const QChar c : encoded)
            QVERIFY(c.isDigit());
        QCOMPARE(DecodePassword(encoded), plain);
    }

    void decode_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("plain");
        QTest::newRow("fillers ignored") << "097abc098xyz099.5E"
                                         << "abc";
        QTest::newRow("as the old program wrote it") << "112123115456115789119012"
                                                     << "pssw";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("not a number") << "09a123"
                                      << "";
        QTest::newRow("one bad group spoils all") << "097123x98123"
                                                  << "";
        QTest::newRow("incomplete group") << "097123098"
                                          << "";
        QTest::newRow("code over 255") << "300123"
                                       << "";
        QTest::newRow("plain text by hand") << "secret"
                                            << "";
        QTest::newRow("character outside CP932") << EncodePassword(QStringLiteral("鍵😀")) << QStringLiteral("鍵😀");
    }
    void decode()
    {
        QFETCH(QString, stored);
        QTEST(DecodePassword(stored), "plain");
    }

    void fillersVary()
    {
        // Not seeded by the program: two encodings of one password differ.
        const QString plain(40, u'x');
        QVERIFY(EncodePassword(plain) != EncodePassword(plain));
    }

    void profileLayout()
    {
        test::TempAppFolder app;
        const FtpSettingFiles files = FtpSettingFiles::forProgram();
        QCOMPARE(files.userIni, app.file(QStringLiteral("Setting/User.ini")));
        QCOMPARE(files.ftpIni, app.file(QStringLiteral("Setting/Ftp.ini")));
        QVERIFY(SaveProfile(files, sampleProfile(QStringLiteral("私のサイト"))));
        QVERIFY(SaveProfile(files, sampleProfile(QStringLiteral("second"))));
        const QList<QByteArray> lines = bytesOf(files.userIni).split('\n');
        QCOMPARE(lines.size(), 15);  // two sections of seven lines, then the final break
        QCOMPARE(lines[0], QByteArray("[\x8e\x84\x82\xcc\x83\x54\x83\x43\x83\x67]\r"));
        QCOMPARE(lines[1], QByteArray("Server=ftp.example.jp:2121\r"));
        QCOMPARE(lines[2], QByteArray("UserName=taro\r"));
        QVERIFY(lines[3].startsWith("PassWord=112"));
        QCOMPARE(lines[3].size(), qsizetype(9 + 24 + 1));
        QCOMPARE(lines[4], QByteArray("TransMode=2\r"));
        QCOMPARE(lines[5], QByteArray("LastPathLocal=/home/taro/site/\r"));
        QCOMPARE(lines[6], QByteArray("LastPathHost=/public_html/\r"));
        QCOMPARE(lines[7], QByteArray("[second]\r"));
        QCOMPARE(ProfileNames(files), (QStringList{QStringLiteral("私のサイト"), QStringLiteral("second")}));

        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(files.userIni).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
    }

    void profileRoundTrip()
    {
        test::TempAppFolder app;
        const FtpSettingFiles files = FtpSettingFiles::forProgram();
        const ConnectionProfile saved = sampleProfile(QStringLiteral("site"));
        QVERIFY(SaveProfile(files, saved));
        ConnectionProfile loaded;
        loaded.Name = QStringLiteral("site");
        LoadProfile(files, loaded);
        QCOMPARE(loaded.Server, saved.Server);
        QCOMPARE(loaded.UserName, saved.UserName);
        QCOMPARE(loaded.Password, saved.Password);
        QCOMPARE(loaded.TransMode, saved.TransMode);
        QCOMPARE(loaded.LastPathLocal, saved.LastPathLocal);
        QCOMPARE(loaded.LastPathHost, saved.LastPathHost);

        // Saving again rewrites the same section in place.
        ConnectionProfile changed = saved;
        changed.Server = QStringLiteral("other.example");
        QVERIFY(SaveProfile(files, changed));
        QCOMPARE(ProfileNames(files), QStringList{QStringLiteral("site")});
        LoadProfile(files, loaded);
        QCOMPARE(loaded.Server, QStringLiteral("other.example"));
    }

    void profileLoadDefaults_data()
    {
        QTest::addColumn<QByteArray>("userIni");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("mode");
        QTest::newRow("missing keys") << QByteArray("[p]\r\nServer=h\r\n") << "h"
                                      << "" << 0;
        QTest::newRow("missing file") << QByteArray() << ""
                                      << "" << 0;
        QTest::newRow("mode as a number") << QByteArray("[p]\r\nTransMode=1\r\n") << ""
                                          << "" << 1;
        QTest::newRow("mode out of range") << QByteArray("[p]\r\nTransMode=9\r\n") << ""
                                           << "" << 0;
        QTest::newRow("mode not a number") << QByteArray("[p]\r\nTransMode=x\r\n") << ""
                                           << "" << 0;
        QTest::newRow("broken password") << QByteArray("[p]\r\nPassWord=plain\r\n") << ""
                                         << "" << 0;
        QTest::newRow("other section's keys ignored") << QByteArray("[q]\r\nServer=q\r\n[p]\r\nUserName=u\r\n") << ""
                                                      << "" << 0;
    }
    void profileLoadDefaults()
    {
        QFETCH(QByteArray, userIni);
        test::TempAppFolder app;
        const FtpSettingFiles files = FtpSettingFiles::forProgram();
        if (!userIni.isNull())
            app.put(QStringLiteral("Setting/User.ini"), userIni);
        ConnectionProfile p = sampleProfile(QStringLiteral("p"));
        LoadProfile(files, p);
        QTEST(p.Server, "server");
        QTEST(p.Password, "password");
        QTEST(int(p.TransMode), "mode");
        QCOMPARE(p.LastPathLocal, QString());
    }

    void emptyNameTouchesNothing()
    {
        test::TempAppFolder app;
        const FtpSettingFiles files = FtpSettingFiles::forProgram();
        app.put(QStringLiteral("Setting/User.ini"), "[]\r\nServer=x\r\n");
        ConnectionProfile p = sampleProfile(QString());
        QVERIFY(!SaveProfile(files, p));
        QCOMPARE(app.read(QStringLiteral("Setting/User.ini")), QByteArray("[]\r\nServer=x\r\n"));
        LoadProfile(files, p);
        QCOMPARE(p.Server, sampleProfile(QString()).Server);
    }

    void deletedCurrentProfileComesBack()
    {
        test::TempAppFolder app;
        const FtpSettingFiles files = FtpSettingFiles::forProgram();
        QVERIFY(SaveProfile(files, sampleProfile("first")));
        QVERIFY(SaveProfile(files, sampleProfile("second")));
        QVERIFY(IniDelete(files.userIni, "first"));
        QCOMPARE(ProfileNames(files), QStringList{"second"});
        // The name stays current, so the save at exit writes it again, last.
        QVERIFY(SaveProfile(files, sampleProfile("first")));
        QCOMPARE(ProfileNames(files), (QStringList{"second", "first"}));
    }

    void settings_data()
    {
        QTest::addColumn<QByteArray>("ftpIni");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("listCache");
        QTest::newRow("missing file") << QByteArray() << "" << true;
        QTest::newRow("False") << QByteArray("[Skyport]\r\nUser=site\r\nListCache=False\r\n") << "site" << false;
        QTest::newRow("True") << QByteArray("[Skyport]\r\nListCache=True\r\n") << "" << true;
        QTest::newRow("zero") << QByteArray("[Skyport]\r\nListCache=0\r\n") << "" << false;
        QTest::newRow("lower case false") << QByteArray("[Skyport]\r\nListCache=false\r\n") << "" << false;
        QTest::newRow("missing key") << QByteArray("[Skyport]\r\nUser=x\r\n") << "x" << true;
        QTest::newRow("nonsense keeps the default") << QByteArray("[Skyport]\r\nListCache=maybe\r\n") << "" << true;
    }
    void settings()
    {
        QFETCH(QByteArray, ftpIni);
        test::TempAppFolder app;
        if (!ftpIni.isNull())
            app.put(QStringLiteral("Setting/Ftp.ini"), ftpIni);
        const FtpProgramSettings s = LoadSettings(FtpSettingFiles::forProgram());
        QTEST(s.User, "user");
        QTEST(s.ListCache, "listCache");
    }

    void settingsSave()
    {
        test::TempAppFolder app;
        const FtpSettingFiles files = FtpSettingFiles::forProgram();
        QVERIFY(SaveSettings(files, {QStringLiteral("site"), false}));
        QCOMPARE(app.read(QStringLiteral("Setting/Ftp.ini")),
                 QByteArray("[Skyport]\r\nUser=site\r\nListCache=False\r\n"));
        QVERIFY(SaveSettings(files, {QStringLiteral("other"), true}));
        QCOMPARE(app.read(QStringLiteral("Setting/Ftp.ini")),
                 QByteArray("[Skyport]\r\nUser=other\r\nListCache=True\r\n"));
    }

    void extensionList()
    {
        test::TempAppFolder app;
        const FtpSettingFiles files = FtpSettingFiles::forProgram();
        app.put(QStringLiteral("Setting/Ftp.ini"),
                "[Extension]\r\nExtension0=OLD\r\nExtension11=X\r\n[Skyport]\r\nUser=u\r\n");
        QVERIFY(SaveExtensionList(files));
        QCOMPARE(
            app.read(QStringLiteral("Setting/Ftp.ini")),
            QByteArray("[Skyport]\r\nUser=u\r\n[Extension]\r\nExtension0=CGI\r\nExtension1=CSS\r\nExtension2=HTM\r\n"
                       "Extension3=HTML\r\nExtension4=JAVA\r\nExtension5=JS\r\nExtension6=PL\r\nExtension7=SHTM\r\n"
                       "Extension8=SHTML\r\nExtension9=TXT\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestFtpProfiles)
#include "tst_ftpprofiles.moc"
