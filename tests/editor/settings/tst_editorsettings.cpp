#include "editor/settings/editorsettings.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QDir>
#include <QTest>

using namespace tw;
using tw::test::TempAppFolder;

namespace {
QByteArray ini(const char* body)
{
    return QByteArray("[Setting]\r\n") + body;
}
}  // namespace

class TestEditorSettings : public QObject {
    Q_OBJECT
private slots:
    void toInt16_data();
    void toInt16();
    void firstStartWritesEveryKeyInOrder();
    void readValues_data();
    void readValues();
    void windowKeysReadAsReals();
    void maximisedExitKeepsPlacement();
    void startFolder_data();
    void startFolder();
    void unknownKeysSurviveAndCaseInsensitive();
    void garbageFileNeverStops();
    void foldersCreatedOnce();
};

void TestEditorSettings::toInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "800" << true << 800;
    QTest::newRow("blanks") << " 12 " << true << 12;
    QTest::newRow("negative") << "-5" << true << -5;
    QTest::newRow("half to even down") << "2.5" << true << 2;
    QTest::newRow("half to even up") << "3.5" << true << 4;
    QTest::newRow("negative half") << "-0.5" << true << 0;
    QTest::newRow("fraction") << "1.6" << true << 2;
    QTest::newRow("lowest") << "-32768" << true << -32768;
    QTest::newRow("highest") << "32767" << true << 32767;
    QTest::newRow("too high") << "32768" << false << 0;
    QTest::newRow("rounds past the top") << "32767.5" << false << 0;
    QTest::newRow("too low") << "-32769" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("number then letters") << "80x" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestEditorSettings::toInt16()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto r = tw::toInt16(text);
    QCOMPARE(r.has_value(), ok);
    if (ok)
        QCOMPARE(int(*r), value);
}

void TestEditorSettings::firstStartWritesEveryKeyInOrder()
{
    TempAppFolder app;
    QVERIFY(ensureSettingsFolders(app.path()));
    EditorSettings s;
    WindowPlacement p;
    QString folder;
    readSettingsFile(settingsPath(app.path()), app.path(), s, p, folder);
    QCOMPARE(s.Preview, 1);
    QCOMPARE(s.ColorAdd, 0);
    QCOMPARE(s.DesignBar, 1);
    QCOMPARE(s.SoutaiPath, 1);
    QCOMPARE(s.PreviewWindowX, 800);
    QCOMPARE(s.PreviewWindowY, 600);
    QCOMPARE(s.NewVersionCheck, 0);
    QCOMPARE(s.DefaultMaxWin, 0);
    QCOMPARE(s.RealTimePreview, 1);
    QCOMPARE(s.AreaDivide, 0);
    QVERIFY(!p.width);
    QCOMPARE(folder, app.path());

    s.Browser1 = QStringLiteral("/usr/bin/firefox");
    s.Browser1Name = QStringLiteral("ファイアフォックス");
    WindowPlacement placed{9600, 7200, 150, 300};
    QVERIFY(writeSettingsFile(settingsPath(app.path()), app.path(), s, placed, QStringLiteral("/nonexistent")));
    const QByteArray expected = QByteArray("[Setting]\r\nPreview=1\r\nColorAdd=0\r\nDesignBar=1\r\nSoutaiPath=1\r\n"
                                           "PreviewWindowX=800\r\nPreviewWindowY=600\r\nBrowser1=/usr/bin/firefox\r\n"
                                           "Browser2=\r\nBrowser3=\r\nBrowser1Name=") +
                                encodeCp932(s.Browser1Name).bytes +
                                "\r\nBrowser2Name=\r\nBrowser3Name=\r\nNewVersionCheck=0\r\nDefaultMaxWin=0\r\n"
                                "RealTimePreview=1\r\nAreaDivide=0\r\nWidth=9600\r\nHeight=7200\r\nLeft=150\r\n"
                                "Top=300\r\nfpath=" +
                                (app.path() + "/").toUtf8() + "\r\n";
    QCOMPARE(app.read("tools/Setting/quillet.ini"), expected);
}

void TestEditorSettings::readValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("previewWindowX");
    QTest::addColumn<int>("areaDivide");
    QTest::addColumn<QString>("browser1");
    QTest::newRow("values") << ini("PreviewWindowX=1024\r\nAreaDivide=2\r\nBrowser1=/opt/b\r\n") << 1024 << 2
                            << "/opt/b";
    QTest::newRow("empty values keep presets")
        << ini("PreviewWindowX=\r\nAreaDivide=\r\nBrowser1=\r\n") << 800 << 0 << "";
    QTest::newRow("letters keep the preset") << ini("PreviewWindowX=abc\r\nAreaDivide=x1\r\n") << 800 << 0 << "";
    QTest::newRow("out of range keeps the preset") << ini("PreviewWindowX=99999\r\n") << 800 << 0 << "";
    QTest::newRow("halves to even") << ini("PreviewWindowX=640.5\r\nAreaDivide=1.5\r\n") << 640 << 2 << "";
    QTest::newRow("missing section") << QByteArray("PreviewWindowX=1\r\n[Other]\r\nAreaDivide=1\r\n") << 800 << 0 << "";
    QTest::newRow("senseless values keep the presets")
        << ini("PreviewWindowX=-300\r\nAreaDivide=7\r\n") << 800 << 0 << "";
    QTest::newRow("keys any case") << ini("previewwindowx=500\r\nAREADIVIDE=1\r\nbrowser1=C\r\n") << 500 << 1 << "C";
}

void TestEditorSettings::readValues()
{
    QFETCH(QByteArray, file);
    QFETCH(int, previewWindowX);
    QFETCH(int, areaDivide);
    QFETCH(QString, browser1);
    TempAppFolder app;
    app.put("tools/Setting/quillet.ini", file);
    EditorSettings s;
    WindowPlacement p;
    QString folder;
    readSettingsFile(settingsPath(app.path()), app.path(), s, p, folder);
    QCOMPARE(int(s.PreviewWindowX), previewWindowX);
    QCOMPARE(int(s.AreaDivide), areaDivide);
    QCOMPARE(s.Browser1, browser1);
}

void TestEditorSettings::windowKeysReadAsReals()
{
    TempAppFolder app;
    app.put("tools/Setting/quillet.ini", ini("Width=12000.5\r\nHeight=9000\r\nLeft=x\r\nTop=-30\r\n"));
    EditorSettings s;
    WindowPlacement p;
    QString folder;
    readSettingsFile(settingsPath(app.path()), app.path(), s, p, folder);
    QCOMPARE(*p.width, 12000.5);
    QCOMPARE(*p.height, 9000.0);
    QVERIFY(!p.left);
    QCOMPARE(*p.top, -30.0);
    QCOMPARE(realText(12000.5), QStringLiteral("12000.5"));
    QCOMPARE(realText(9600), QStringLiteral("9600"));
}

void TestEditorSettings::maximisedExitKeepsPlacement()
{
    TempAppFolder app;
    app.put("tools/Setting/quillet.ini", ini("Width=1\r\nHeight=2\r\nLeft=3\r\nTop=4\r\nfpath=/x/\r\n"));
    QVERIFY(writeSettingsFile(settingsPath(app.path()), app.path(), EditorSettings{}, std::nullopt, app.path()));
    const QByteArray bytes = app.read("tools/Setting/quillet.ini");
    QVERIFY(bytes.contains("Width=1\r\nHeight=2\r\nLeft=3\r\nTop=4\r\n"));
    QVERIFY(bytes.contains("fpath=" + (app.path() + "/").toUtf8() + "\r\n"));  // replaced where it stood
}

void TestEditorSettings::startFolder_data()
{
    QTest::addColumn<QString>("stored");  // relative to the temporary folder; "@" = none
    QTest::addColumn<bool>("kept");
    QTest::newRow("folder with a file") << "docs/" << true;
    QTest::newRow("without trailing slash") << "docs" << true;
    QTest::newRow("deleted folder") << "gone/" << false;
    QTest::newRow("folder with only a subfolder") << "empty/" << false;
}

void TestEditorSettings::startFolder()
{
    QFETCH(QString, stored);
    QFETCH(bool, kept);
    TempAppFolder app;
    app.put("docs/index.html", "x");
    QDir(app.path()).mkpath("empty/sub");
    const QString full = app.file(stored);
    QString expected = kept ? app.file("docs") : app.path();
    QCOMPARE(tw::startFolder(full, app.path()), expected);
}

void TestEditorSettings::unknownKeysSurviveAndCaseInsensitive()
{
    TempAppFolder app;
    app.put("tools/Setting/quillet.ini", ini("MyOwnKey=keep me\r\nFPath=/old/\r\npreview=0\r\n"));
    EditorSettings s;
    s.Preview = 0;
    QVERIFY(writeSettingsFile(settingsPath(app.path()), app.path(), s, std::nullopt, app.path()));
    const QByteArray bytes = app.read("tools/Setting/quillet.ini");
    QVERIFY(bytes.contains("MyOwnKey=keep me\r\n"));
    QCOMPARE(bytes.toLower().count("\npreview="), 1);  // replaced, not added twice
    QCOMPARE(bytes.toLower().count("fpath="), 1);
}

void TestEditorSettings::garbageFileNeverStops()
{
    TempAppFolder app;
    QByteArray junk;
    for (int i = 0; i < 300000; ++i)
        junk.append(char((i * 37) & 0xFF));
    junk += "\r\n[Setting]\r\nAreaDivide=1\r\nPreviewWindowX=" + QByteArray(5000, '9') + "\r\n";
    app.put("tools/Setting/quillet.ini", junk);
    EditorSettings s;
    WindowPlacement p;
    QString folder;
    readSettingsFile(settingsPath(app.path()), app.path(), s, p, folder);
    QCOMPARE(int(s.AreaDivide), 1);
    QCOMPARE(int(s.PreviewWindowX), 800);
    QVERIFY(writeSettingsFile(settingsPath(app.path()), app.path(), s, std::nullopt, app.path()));
}

void TestEditorSettings::foldersCreatedOnce()
{
    TempAppFolder app;
    QVERIFY(ensureSettingsFolders(app.path()));
    QVERIFY(QDir(app.file("tools/Setting")).exists());
    QVERIFY(!ensureSettingsFolders(app.path()));
    QCOMPARE(missingSettingsFolderMessage(), QStringLiteral("設定ファイルの保存フォルダが見つかりませんでした\r\n最新版"
                                                            "をインストールしなおすことを強くお勧めします。"));
}

QTEST_GUILESS_MAIN(TestEditorSettings)
#include "tst_editorsettings.moc"
