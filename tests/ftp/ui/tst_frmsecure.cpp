// The FTP client's window against servers the test starts: pyftpdlib, also
// over TLS with a certificate made by openssl, and OpenSSH's sshd with its
// own host key. Profiles made in 接続設定, the certificate and host-key
// questions, transfers, permissions, 変更分をアップロード, the plain-FTP warning.

#include "tests/testkit/fakes.h"
#include "tests/testkit/ftpserver.h"
#include "tests/testkit/sshserver.h"
#include "tests/testkit/tempappfolder.h"
#include "ftp/settings/mdl_ini.h"
#include "ftp/ui/frm_main.h"
#include "ftp/ui/frm_sync.h"
#include "ftp/ui/frm_trust.h"
#include "ftp/ui/frm_user.h"
#include "ftp/ui/panelist.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <sys/stat.h>

#include <tuple>

using namespace tw;
using namespace tw::test;

namespace {

void putFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

struct Window {
    explicit Window(const QString& caFile = {})
    {
        files = FtpSettingFiles::inFolder(app.path() + QStringLiteral("/Setting"));
        w = std::make_unique<Frm_Main>(FrmMainSetup{fakes.platform(), files, {}, local.path(), caFile});
        w->show();
        QObject::connect(w.get(), &Frm_Main::dialogOpened, w.get(), [this](QDialog* d) {
            QTimer::singleShot(0, d, [this, d] {
                QVERIFY2(!answers.isEmpty(), qPrintable(d->objectName()));
                answers.takeFirst()(d);
            });
        });
    }
    // Fills 接続設定 as the user does and presses 追加.
    void addProfile(const QString& server, const QString& user, const QString& password, int protocol,
                    const QString& keyFile = {})
    {
        answers.append([=](QDialog* d) {
            auto* dialog = qobject_cast<Frm_User*>(d);
            QVERIFY(dialog);
            const QString texts[4] = {QStringLiteral("site"), server, user, password};
            for (int i = 0; i < 4; ++i) {
                dialog->field(i)->clear();
                QTest::keyClicks(dialog->field(i), texts[i]);
            }
            dialog->protocolBox()->setFocus();
            for (int i = 0; i < protocol; ++i)
                QTest::keyClick(dialog->protocolBox(), Qt::Key_Down);
            QCOMPARE(dialog->keyFileField()->isEnabled(), protocol == 2);
            QTest::keyClicks(dialog->keyFileField(), keyFile);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Btn_0")), Qt::LeftButton);
        });
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Btn_User")), Qt::LeftButton);
    }
    // The next trust question: its texts kept, the button pressed.
    void answerTrust(const QString& button)
    {
        answers.append([=, this](QDialog* d) {
            QVERIFY(qobject_cast<Frm_Trust*>(d));
            trustTexts.clear();
            for (QLabel* l : d->findChildren<QLabel*>())
                trustTexts << l->text();
            QTest::mouseClick(d->findChild<QPushButton*>(button), Qt::LeftButton);
        });
    }
    void pressConnect() { QTest::mouseClick(w->findChild<QToolButton*>(QStringLiteral("Btn_Con")), Qt::LeftButton); }
    void select(int pane, const QString& name)
    {
        auto* view = qobject_cast<QAbstractItemView*>(w->pane(pane)->currentView());
        const int row = w->FindListItem(pane, name);
        QVERIFY2(row > 0, qPrintable(name));
        const QModelIndex index = view->model()->index(row - 1, 0);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    void send(bool upload, const QString& name)
    {
        select(upload ? 0 : 1, name);
        QTest::mouseClick(
            w->findChild<QPushButton*>(upload ? QStringLiteral("Btn_Trs_0") : QStringLiteral("Btn_Trs_1")),
            Qt::LeftButton);
    }
    // Sets rw------- with the permission dialog.
    void ownerOnly(const QString& name)
    {
        select(1, name);
        answers.append([](QDialog* d) {
            for (const QString cls : {"own", "grp", "usr"}) {
                for (int i = 0; i < 3; ++i) {
                    auto* box = d->findChild<QCheckBox*>(QStringLiteral("chk_%1_%2").arg(cls).arg(i));
                    if (box->isChecked() != (cls == u"own" && i < 2))
                        box->click();
                }
            }
            d->findChild<QPushButton*>(QStringLiteral("cmd_ok"))->click();
        });
        w->changePermissions();
    }
    QStringList remoteNames() const { return w->pane(1)->names(); }

    TempAppFolder app;
    QTemporaryDir local;
    FakePlatform fakes;
    FtpSettingFiles files;
    std::unique_ptr<Frm_Main> w;
    QList<std::function<void(QDialog*)>> answers;
    QStringList trustTexts;
};

QString certificateFingerprint(const QString& pemFile)
{
    QByteArray pem = bytesOf(pemFile);
    pem = pem.mid(pem.indexOf('\n') + 1);
    pem = pem.left(pem.indexOf("-----END"));
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::fromBase64(pem), QCryptographicHash::Sha256).toHex(':').toUpper());
}

}  // namespace

class TestFrmSecure : public QObject {
    Q_OBJECT
private slots:
    void certificateQuestion_data();
    void certificateQuestion();
    void sftp();
    void plainFtpWarnsOnce_data();
    void plainFtpWarnsOnce();
    void syncSendsWhatChanged_data();
    void syncSendsWhatChanged();
};

void TestFrmSecure::certificateQuestion_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("withAuthority");
    QTest::addColumn<QString>("reason");
    // The system's authorities do not know the test's certificate; with it
    // as an authority, the certificate is still not one for "localhost".
    QTest::newRow("self-signed") << "127.0.0.1" << false << "自己署名の証明書です (認証局の署名がありません)";
    QTest::newRow("wrong name") << "localhost" << true << "証明書が接続先のサーバ名のものではありません";
}

void TestFrmSecure::certificateQuestion()
{
    QFETCH(QString, host);
    QFETCH(bool, withAuthority);
    QFETCH(QString, reason);
    FtpServerFixture::Options o;
    o.tls = true;
    FtpServerFixture server(o);
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    Window env(withAuthority ? server.certificateFile() : QString());
    const QString address = QStringLiteral("%1:%2").arg(host).arg(server.port());
    env.addProfile(address, server.user(), server.password(), 1);
    const QString fingerprint = certificateFingerprint(server.certificateFile());
    const QString trustFile = env.files.trustedCertificates();

    // The button pressed (none: no question expected); whether the question
    // says the certificate changed; connected afterwards.
    const std::tuple<QString, bool, bool> steps[] = {{"Btn_Refuse", false, false},
                                                     {"Btn_Once", false, true},
                                                     {"Btn_Always", false, true},
                                                     {"", false, true} /* remembered */,
                                                     {"Btn_Refuse", true, false} /* remembered one replaced */};
    for (const auto& [button, changed, connected] : steps) {
        if (changed)
            QVERIFY(rememberCertificate(trustFile, address, QStringLiteral("AB:CD")));
        env.trustTexts.clear();
        if (!button.isEmpty())
            env.answerTrust(button);
        env.pressConnect();
        QVERIFY(env.answers.isEmpty());
        QCOMPARE(env.w->isConnected(), connected);
        QCOMPARE(env.trustTexts.contains(QStringLiteral("この証明書を信頼しますか？")), !button.isEmpty());
        QCOMPARE(env.trustTexts.contains(fingerprint), !button.isEmpty());
        QCOMPARE(env.trustTexts.contains(reason), !button.isEmpty());
        QCOMPARE(env.trustTexts.contains(QStringLiteral("CN=127.0.0.1,O=Tagwright test")), !button.isEmpty());
        QCOMPARE(env.trustTexts.filter(QStringLiteral("変わっています")).size(), changed ? 1 : 0);
        if (connected)
            env.pressConnect();  // disconnects
    }
    QVERIFY(env.fakes.messages.shown.isEmpty());
    QCOMPARE(modeOf(trustFile), 0600);
}

void TestFrmSecure::sftp()
{
    SshServerFixture server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    putFile(server.homeFile(QStringLiteral("pub/a.txt")), "a\nb\n");
    putFile(server.homeFile(QStringLiteral("page.html")), "old");
    Window env;
    putFile(env.local.filePath(QStringLiteral("page.html")), "<p>\r\n</p>\r\n");
    env.addProfile(server.serverText(), server.user(), QString(), 2, server.privateKeyFile());
    env.answerTrust(QStringLiteral("Btn_Always"));
    env.pressConnect();
    QVERIFY(env.w->isConnected());
    QVERIFY(env.trustTexts.contains(QStringLiteral("このホスト鍵を信頼しますか？")));
    QVERIFY(env.trustTexts.contains(hostKeyFingerprint(server.hostKeyBlob())));
    QVERIFY(env.trustTexts.contains(QStringLiteral("ssh-ed25519")));
    QCOMPARE(modeOf(env.files.knownHosts()), 0600);
    // The login folder, with its files.
    QCOMPARE(env.w->findChild<QComboBox*>(QStringLiteral("Cmb_Dir_1"))->currentText(), server.home() + u'/');
    QCOMPARE(env.remoteNames(), (QStringList{QStringLiteral("pub"), QStringLiteral("page.html")}));
    // Sent in 自動 as an FTP server stores a page; the old one replaced whole.
    env.send(true, QStringLiteral("page.html"));
    QCOMPARE(bytesOf(server.homeFile(QStringLiteral("page.html"))), QByteArray("<p>\n</p>\n"));
    env.w->SetRemotePath(server.home() + QStringLiteral("/pub/"));
    env.send(false, QStringLiteral("a.txt"));
    QCOMPARE(bytesOf(env.local.filePath(QStringLiteral("a.txt"))), QByteArray("a\r\nb\r\n"));
    env.ownerOnly(QStringLiteral("a.txt"));
    QCOMPARE(modeOf(server.homeFile(QStringLiteral("pub/a.txt"))), 0600);
    env.w->setActivePane(1);
    env.w->makeFolder();
    QVERIFY(QFileInfo(server.homeFile(QStringLiteral("pub/") + env.remoteNames().value(0))).isDir());
    env.select(1, QStringLiteral("a.txt"));
    env.fakes.messages.answer(MsgResult::Yes);
    env.w->deleteSelected();
    QVERIFY(!QFile::exists(server.homeFile(QStringLiteral("pub/a.txt"))));
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QVERIFY(QDir(server.home()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("twpart")).isEmpty());

    // Known now: no question. Then another key for the same server is refused.
    env.pressConnect();
    env.pressConnect();
    QVERIFY(env.w->isConnected());
    env.pressConnect();
    QByteArray other = server.hostKeyBlob();
    other[other.size() - 1] = char(other.back() ^ 1);
    QVERIFY(QFile::remove(env.files.knownHosts()));
    QVERIFY(rememberHostKey(env.files.knownHosts(), QStringLiteral("127.0.0.1"), server.port(),
                            QStringLiteral("ssh-ed25519"), other));
    env.pressConnect();
    QVERIFY(!env.w->isConnected());
    QCOMPARE(env.fakes.messages.shown.size(), 2);
    QVERIFY(env.fakes.messages.shown[1].text.contains(QStringLiteral("ホスト鍵が、以前に信頼したものと違います")));
    QVERIFY(env.fakes.messages.shown[1].text.contains(hostKeyFingerprint(server.hostKeyBlob())));
    QVERIFY(env.answers.isEmpty());
}

void TestFrmSecure::plainFtpWarnsOnce_data()
{
    QTest::addColumn<bool>("switchToTls");
    QTest::newRow("stays plain") << false;
    QTest::newRow("switched to TLS") << true;
}

void TestFrmSecure::plainFtpWarnsOnce()
{
    QFETCH(bool, switchToTls);
    FtpServerFixture::Options o;
    o.tls = switchToTls;
    FtpServerFixture server(o);
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    Window env(switchToTls ? server.certificateFile() : QString());
    env.addProfile(server.serverText(), server.user(), server.password(), 0);
    env.fakes.messages.answer(switchToTls ? MsgResult::Yes : MsgResult::No);
    env.pressConnect();
    QVERIFY(env.w->isConnected());
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QVERIFY(env.fakes.messages.shown[0].text.contains(QStringLiteral("暗号化されない FTP です")));
    QCOMPARE(env.fakes.messages.shown[0].icon, MsgIcon::Warning);
    QCOMPARE(server.commands().value(0) == QStringLiteral("AUTH TLS"), switchToTls);
    env.pressConnect();
    env.pressConnect();
    QVERIFY(env.w->isConnected());
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QCOMPARE(IniRead(env.files.userIni, QStringLiteral("site"), QStringLiteral("PlainWarned"), {}),
             QStringLiteral("1"));
    QCOMPARE(IniRead(env.files.userIni, QStringLiteral("site"), QStringLiteral("Protocol"), QStringLiteral("0")),
             switchToTls ? QStringLiteral("1") : QStringLiteral("0"));
}

void TestFrmSecure::syncSendsWhatChanged_data()
{
    QTest::addColumn<int>("protocol");
    QTest::newRow("FTP") << 0;
    QTest::newRow("FTP over TLS") << 1;
    QTest::newRow("SFTP") << 2;
}

void TestFrmSecure::syncSendsWhatChanged()
{
    QFETCH(int, protocol);
    FtpServerFixture::Options o;
    o.tls = protocol == 1;
    std::unique_ptr<FtpServerFixture> ftp(protocol == 2 ? nullptr : new FtpServerFixture(o));
    std::unique_ptr<SshServerFixture> ssh(protocol == 2 ? new SshServerFixture : nullptr);
    QVERIFY(ssh ? ssh->isRunning() : ftp->isRunning());
    auto home = [&](const QString& name) { return ssh ? ssh->homeFile(name) : ftp->homeFile(name); };
    Window env(protocol == 1 ? ftp->certificateFile() : QString());
    auto site = [&](const QString& name) { return env.local.filePath(QStringLiteral("site/") + name); };
    putFile(site(QStringLiteral("a.html")), "<p>a</p>\r\n");
    putFile(site(QStringLiteral("b.html")), "<p>b</p>\r\n");
    putFile(site(QStringLiteral("img/c.gif")), "GIF89a\r\n");
    if (ssh) {
        env.addProfile(ssh->serverText(), ssh->user(), QString(), 2, ssh->privateKeyFile());
        env.answerTrust(QStringLiteral("Btn_Once"));
    } else {
        env.addProfile(ftp->serverText(), ftp->user(), ftp->password(), protocol);
        if (protocol == 0)
            env.fakes.messages.answer(MsgResult::No);
    }
    env.pressConnect();
    QVERIFY(env.w->isConnected());
    env.w->ListLocal(env.local.path());

    // Each round: what the window lists, then 送信 (deleting server files when asked).
    auto round = [&](const QStringList& expected, qint64 bytes, bool deleteExtra) {
        QStringList listed;
        QString total;
        env.answers.append([&](QDialog* d) {
            auto* dialog = qobject_cast<Frm_Sync*>(d);
            QVERIFY(dialog);
            for (int i = 0; i < dialog->list()->topLevelItemCount(); ++i)
                listed << dialog->list()->topLevelItem(i)->text(0);
            total = dialog->findChild<QLabel*>(QStringLiteral("Lbl_Total"))->text();
            QVERIFY(!dialog->deleteBox()->isChecked());
            if (deleteExtra) {
                env.fakes.messages.answer(MsgResult::Yes);
                QTest::mouseClick(dialog->deleteBox(), Qt::LeftButton, {},
                                  QPoint(6, dialog->deleteBox()->height() / 2));
                QVERIFY(dialog->deleteBox()->isChecked());
            }
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        env.select(0, QStringLiteral("site"));
        QTest::mouseClick(env.w->findChild<QPushButton*>(QStringLiteral("Btn_Sync")), Qt::LeftButton);
        QCOMPARE(listed, expected);
        QCOMPARE(total, QStringLiteral("%1 ファイル、合計 %2 バイト").arg(expected.size()).arg(bytes));
    };
    round({QStringLiteral("a.html"), QStringLiteral("b.html"), QStringLiteral("img/c.gif")}, 28, false);
    QCOMPARE(bytesOf(home(QStringLiteral("img/c.gif"))), QByteArray("GIF89a\r\n"));
    QCOMPARE(bytesOf(home(QStringLiteral("a.html"))), QByteArray("<p>a</p>\n"));
    const QDateTime stamp = QFileInfo(site(QStringLiteral("b.html"))).lastModified();
    QCOMPARE(QFileInfo(home(QStringLiteral("b.html"))).lastModified().toSecsSinceEpoch(), stamp.toSecsSinceEpoch());
    // Back in 自動 (line ends as they were), and the permissions.
    env.send(false, QStringLiteral("a.html"));
    QCOMPARE(bytesOf(env.local.filePath(QStringLiteral("a.html"))), QByteArray("<p>a</p>\r\n"));
    env.ownerOnly(QStringLiteral("a.html"));
    QCOMPARE(modeOf(home(QStringLiteral("a.html"))), 0600);
    if (protocol == 1) {
        QCOMPARE(ftp->commands().value(0), QStringLiteral("AUTH TLS"));
        QVERIFY(ftp->commands().contains(QStringLiteral("PROT P")));
        // The new key follows the ones every profile has.
        QStringList lines;
        QVERIFY(readIniLines(env.files.userIni, lines));
        QCOMPARE(lines.mid(1, 7).join(u','), QStringLiteral("Server=%1,UserName=tester,PassWord=%2,TransMode=0,"
                                                            "LastPathLocal=%3,LastPathHost=,Protocol=1")
                                                 .arg(ftp->serverText(), lines.value(3).mid(9), env.local.path()));
    }

    // Nothing changed: nothing to send.
    env.fakes.messages.shown.clear();
    env.select(0, QStringLiteral("site"));
    QTest::mouseClick(env.w->findChild<QPushButton*>(QStringLiteral("Btn_Sync")), Qt::LeftButton);
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QCOMPARE(env.fakes.messages.shown[0].text, QStringLiteral("変更されたファイルはありません"));

    // A newer file of the same size, a new one, and one gone from the local folder.
    putFile(site(QStringLiteral("b.html")), "<p>B</p>\r\n");
    QFile b(site(QStringLiteral("b.html")));
    QVERIFY(b.open(QIODevice::ReadWrite));
    QVERIFY(b.setFileTime(stamp.addSecs(100), QFileDevice::FileModificationTime));
    b.close();
    putFile(site(QStringLiteral("d.html")), "d");
    putFile(home(QStringLiteral("old.html")), "old");
    round({QStringLiteral("b.html"), QStringLiteral("d.html")}, 11, true);
    QCOMPARE(bytesOf(home(QStringLiteral("b.html"))), QByteArray("<p>B</p>\n"));
    QVERIFY(!QFile::exists(home(QStringLiteral("old.html"))));
    QVERIFY(QFile::exists(home(QStringLiteral("img/c.gif"))));
    QVERIFY(env.answers.isEmpty());
}

QTEST_MAIN(TestFrmSecure)
#include "tst_frmsecure.moc"
