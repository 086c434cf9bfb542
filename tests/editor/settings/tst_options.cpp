#include "editor/settings/headerfooter.h"
#include "editor/settings/options.h"
#include "common/paths.h"
#include "tests/testkit/tempappfolder.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tw;
using tw::test::TempAppFolder;

Q_DECLARE_METATYPE(tw::OptionField)

namespace {
OptionValues typed(const QString& x, const QString& y)
{
    OptionValues v;
    v.Preview = true;
    v.ColorAdd = false;
    v.DesignBar = false;
    v.SoutaiPath = true;
    v.NewVersionCheck = true;
    v.DefaultMaxWin = false;
    v.RealTimePreview = true;
    v.WorkingFolder = QStringLiteral("/home/user/サイト");
    v.PreviewWindowX = x;
    v.PreviewWindowY = y;
    v.Browser1 = QStringLiteral("/usr/bin/firefox");
    v.Browser2 = QStringLiteral("/opt/my browser/run");
    v.Browser3 = QString();
    v.Browser1Name = QStringLiteral("Firefox");
    v.Browser2Name = QStringLiteral("自作ブラウザ");
    v.Browser3Name = QString();
    return v;
}

// Every field differs from what typed() applies.
EditorSettings stored()
{
    EditorSettings s;
    s.Preview = 0;
    s.ColorAdd = 1;
    s.DesignBar = 1;
    s.SoutaiPath = 0;
    s.PreviewWindowX = 111;
    s.PreviewWindowY = 222;
    s.Browser1 = QStringLiteral("old1");
    s.Browser2 = QStringLiteral("old2");
    s.Browser3 = QStringLiteral("old3");
    s.Browser1Name = QStringLiteral("n1");
    s.Browser2Name = QStringLiteral("n2");
    s.Browser3Name = QStringLiteral("n3");
    s.NewVersionCheck = 0;
    s.DefaultMaxWin = 1;
    s.RealTimePreview = 0;
    s.AreaDivide = 2;
    return s;
}

bool sameSettings(const EditorSettings& a, const EditorSettings& b)
{
    return a.Preview == b.Preview && a.ColorAdd == b.ColorAdd && a.DesignBar == b.DesignBar
           && a.SoutaiPath == b.SoutaiPath && a.PreviewWindowX == b.PreviewWindowX
           && a.PreviewWindowY == b.PreviewWindowY && a.Browser1 == b.Browser1 && a.Browser2 == b.Browser2
           && a.Browser3 == b.Browser3 && a.Browser1Name == b.Browser1Name && a.Browser2Name == b.Browser2Name
           && a.Browser3Name == b.Browser3Name && a.NewVersionCheck == b.NewVersionCheck
           && a.DefaultMaxWin == b.DefaultMaxWin && a.RealTimePreview == b.RealTimePreview
           && a.AreaDivide == b.AreaDivide;
}
}  // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void applySizes_data();
    void applySizes();
    void applyTakesEveryValue();
    void valuesShownFromSettings();
    void relativePath_data();
    void relativePath();
    void relativePathOnOtherVolume();
    void framingFileRoundTrip_data();
    void framingFileRoundTrip();
};

void TestOptions::applySizes_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<OptionField>("bad");
    QTest::addColumn<int>("wantX");
    QTest::addColumn<int>("wantY");
    const auto none = OptionField::None;
    const auto X = OptionField::PreviewWindowX;
    const auto Y = OptionField::PreviewWindowY;
    QTest::newRow("plain") << "1024"
                           << "768" << none << 1024 << 768;
    QTest::newRow("lowest") << "-32768"
                            << "0" << none << -32768 << 0;
    QTest::newRow("highest") << "32767"
                             << " 5 " << none << 32767 << 5;
    QTest::newRow("fraction rounds half to even") << "12.5"
                                                  << "13.5" << none << 12 << 14;
    QTest::newRow("letters in X") << "abc"
                                  << "600" << X << 0 << 0;
    QTest::newRow("too big X") << "40000"
                               << "600" << X << 0 << 0;
    QTest::newRow("empty X") << ""
                             << "600" << X << 0 << 0;
    QTest::newRow("too low Y") << "800"
                               << "-32769" << Y << 0 << 0;
    QTest::newRow("empty Y") << "800"
                             << "" << Y << 0 << 0;
    QTest::newRow("both bad: X named first") << "x"
                                             << "y" << X << 0 << 0;
}

void TestOptions::applySizes()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(OptionField, bad);
    QFETCH(int, wantX);
    QFETCH(int, wantY);
    EditorSettings s = stored();
    const OptionsOutcome r = applyOptionValues(typed(x, y), s);
    QCOMPARE(r.ok, bad == OptionField::None);
    QCOMPARE(r.badField, bad);
    if (bad == OptionField::None) {
        QVERIFY(r.message.isEmpty());
        QCOMPARE(int(s.PreviewWindowX), wantX);
        QCOMPARE(int(s.PreviewWindowY), wantY);
        return;
    }
    const QString axis = bad == OptionField::PreviewWindowX ? QStringLiteral("X") : QStringLiteral("Y");
    QCOMPARE(r.message,
             QStringLiteral("プレビューウインドウのサイズ (%1) には -32768 から 32767 までの数値を入力してください。")
                 .arg(axis));
    QVERIFY(r.workingFolder.isEmpty());
    // Nothing is taken when one value is bad, not even the good ones.
    QVERIFY(sameSettings(s, stored()));
}

void TestOptions::applyTakesEveryValue()
{
    EditorSettings s = stored();
    const OptionsOutcome r = applyOptionValues(typed(QStringLiteral("640"), QStringLiteral("480")), s);
    QVERIFY(r.ok);
    QCOMPARE(r.workingFolder, QStringLiteral("/home/user/サイト"));
    EditorSettings want = stored();
    want.Preview = 1;
    want.ColorAdd = 0;
    want.DesignBar = 0;
    want.SoutaiPath = 1;
    want.NewVersionCheck = 1;
    want.DefaultMaxWin = 0;
    want.RealTimePreview = 1;
    want.PreviewWindowX = 640;
    want.PreviewWindowY = 480;
    want.Browser1 = QStringLiteral("/usr/bin/firefox");
    want.Browser2 = QStringLiteral("/opt/my browser/run");
    want.Browser3 = QString();
    want.Browser1Name = QStringLiteral("Firefox");
    want.Browser2Name = QStringLiteral("自作ブラウザ");
    want.Browser3Name = QString();
    QVERIFY(sameSettings(s, want));  // AreaDivide is not the dialog's and stays 2
}

void TestOptions::valuesShownFromSettings()
{
    EditorSettings s = stored();
    s.PreviewWindowX = -32768;
    s.ColorAdd = 5;  // a hand-edited file: only 1 ticks the box
    const OptionValues v = optionValuesFrom(s, QStringLiteral("/srv/www"));
    QCOMPARE(v.PreviewWindowX, QStringLiteral("-32768"));
    QCOMPARE(v.PreviewWindowY, QStringLiteral("222"));
    QVERIFY(!v.Preview);
    QVERIFY(!v.ColorAdd);
    QVERIFY(v.DesignBar);
    QVERIFY(v.DefaultMaxWin);
    QCOMPARE(v.WorkingFolder, QStringLiteral("/srv/www"));
    QCOMPARE(v.Browser3, QStringLiteral("old3"));
    QCOMPARE(v.Browser2Name, QStringLiteral("n2"));
    // Shown and confirmed unchanged, the values come back as they were.
    EditorSettings again = stored();
    again.PreviewWindowX = -32768;
    QVERIFY(applyOptionValues(v, again).ok);
    EditorSettings want = s;
    want.ColorAdd = 0;
    QVERIFY(sameSettings(again, want));
}

void TestOptions::relativePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("want");
    QTest::newRow("same folder") << "/home/u/site"
                                 << "/home/u/site/index.html"
                                 << "./index.html";
    QTest::newRow("sub folder") << "/home/u/site"
                                << "/home/u/site/img/a.gif"
                                << "./img/a.gif";
    QTest::newRow("two below") << "/home/u/site"
                               << "/home/u/site/a/b/c.png"
                               << "./a/b/c.png";
    QTest::newRow("up one") << "/home/u/site"
                            << "/home/u/top.html"
                            << "../top.html";
    QTest::newRow("up two") << "/home/u/site"
                            << "/home/x.html"
                            << "../../x.html";
    QTest::newRow("sibling") << "/home/u/site"
                             << "/home/u/other/p.html"
                             << "../other/p.html";
    QTest::newRow("root folder") << "/"
                                 << "/etc/x"
                                 << "./etc/x";
    QTest::newRow("file in root") << "/home"
                                  << "/x"
                                  << "../x";
    QTest::newRow("trailing slash") << "/home/u/site/"
                                    << "/home/u/site/a.html"
                                    << "./a.html";
    QTest::newRow("name starting with dots") << "/home/u"
                                             << "/home/u/..hidden"
                                             << "./..hidden";
    QTest::newRow("spaces and Japanese") << "/home/u/my site"
                                         << "/home/u/my site/画像 フォルダ/写真.jpg"
                                         << "./画像 フォルダ/写真.jpg";
    QTest::newRow("japanese up") << "/home/u/日本語"
                                 << "/home/u/別/ページ.html"
                                 << "../別/ページ.html";
    QTest::newRow("doubled separators") << "/home//u"
                                        << "/home/u//a.html"
                                        << "./a.html";
    QTest::newRow("no folder") << ""
                               << "/home/u/a.html"
                               << "/home/u/a.html";
    QTest::newRow("relative path unchanged") << "/home/u"
                                             << "sub\\a.html"
                                             << "sub/a.html";
    QTest::newRow("drive path unchanged") << "/home/u"
                                          << "D:\\www\\a.html"
                                          << "D:/www/a.html";
}

void TestOptions::relativePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QFETCH(QString, want);
    const QString got = MakeRelativePath(folder, path);
    QCOMPARE(got, want);
    QVERIFY(!got.contains(QLatin1String("//")));
}

void TestOptions::relativePathOnOtherVolume()
{
    // A file on another mounted volume keeps its absolute path, as a file on
    // another drive does; a file not yet there counts on its folder's volume.
    const QTemporaryDir here;
    const QString shm = QStringLiteral("/dev/shm");
    if (volumeRootOf(shm).isEmpty() || volumeRootOf(shm) == volumeRootOf(here.path()))
        QSKIP("no second volume beside the temporary folder");
    QCOMPARE(MakeRelativePath(here.path(), shm + QStringLiteral("/site/a.html")), shm + QStringLiteral("/site/a.html"));
    QCOMPARE(MakeRelativePath(shm, here.path() + QStringLiteral("/new/b.html")),
             here.path() + QStringLiteral("/new/b.html"));
    QCOMPARE(MakeRelativePath(here.path(), here.path() + QStringLiteral("/new/b.html")),
             QStringLiteral("./new/b.html"));
}

void TestOptions::framingFileRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray header = defaultHeaderText().toUtf8();  // ASCII apart from タイトル
    header.replace("\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB", "\x83\x5E\x83\x43\x83\x67\x83\x8B");
    QTest::newRow("default header") << defaultHeaderText() << true << header + "\r\n";
    QTest::newRow("box breaks become CR LF")
        << "<A>\nテスト" << true << QByteArray("<A>\r\n\x83\x65\x83\x58\x83\x67\r\n");
    QTest::newRow("final empty line kept") << "<A>\n" << true << QByteArray("<A>\r\n\r\n");
    QTest::newRow("empty text") << "" << true << QByteArray("\r\n");
    QTest::newRow("not in CP932") << "<P>\U0001F600</P>" << false << QByteArray("old\r\n");
}

void TestOptions::framingFileRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QByteArray, bytes);
    TempAppFolder app;
    app.put(QStringLiteral("tools/Setting/Header.txt"), "old\r\n");
    const Result saved = saveHeaderFooterFile(headerPath(app.path()), text);
    const QString error = saved.reason();
    QCOMPARE(saved.ok(), ok);
    QCOMPARE(app.read(QStringLiteral("tools/Setting/Header.txt")), bytes);
    if (!ok) {
        QVERIFY(error.contains(QLatin1String("Header.txt")));
        return;
    }
    QVERIFY(error.isEmpty());
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QCOMPARE(loadHeaderText(app.path()), crlf);
}

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
