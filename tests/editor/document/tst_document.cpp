#include "editor/document/document.h"
#include "editor/document/savedmark.h"
#include "editor/document/editbuffer.h"
#include "editor/document/edithistory.h"
#include "tests/testkit/fakes.h"
#include "editor/settings/headerfooter.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tw;
using namespace tw::test;

// A document with its history and fakes, wired like the main window.
struct Fixture {
    TempAppFolder app;
    FakePlatform fakes;
    MemoryEditBuffer buffer;
    EditHistory history{buffer};
    Document doc{buffer, history, fakes.platform(), app.path()};
    int forcedPreviews = 0;

    Fixture()
    {
        QObject::connect(&buffer, &EditBuffer::changed, [this] { history.onTextChanged(); });
        QObject::connect(&doc, &Document::refreshPreviewRequested,
                         [this](bool forced) { forcedPreviews += forced ? 1 : 0; });
        QDir(app.path()).mkpath(QStringLiteral("work"));
        QDir(app.path()).mkpath(QStringLiteral("template"));
        doc.setPanelFolder(app.file(QStringLiteral("work")));
        doc.FillNewDocument();
        history.ResetHistory();
        doc.UpdateTitle();
    }
    void type(const QString& s)
    {
        buffer.SetSelection(buffer.text().size(), 0);
        buffer.type(s);
    }
};

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void newDocumentIsTenLines();
    void saveCheck_data();
    void saveCheck();
    void typingAndDeletingCountsAsUnchanged();
    void yesOnNewDocumentOpensSaveAs();
    void saveAsWritesCp932WithDefaultExtension();
    void saveKeepsUtf8AndLfFiles();
    void openReplacesDocument();
    void openFailureKeepsDocument_data();
    void openFailureKeepsDocument();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void failedSaveInQuestionStops();
    void templateOpenAndSave();
    void dropIsOneUndoableChange();
    void newDeletesTemporaryPreview();
    void savedMarkKeepsNoCopyOfALargePage();
    void digestOfPiecesIsTheWholeTextsDigest();
};

void TestDocument::newDocumentIsTenLines()
{
    Fixture f;
    const QStringList lines = f.buffer.text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[0], QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"));
    QCOMPARE(lines[3], QStringLiteral("<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">"));
    QCOMPARE(lines[6], QStringLiteral("<BODY>"));
    QCOMPARE(lines[7], QString());
    QCOMPARE(lines[9], QStringLiteral("</HTML>"));
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - 新規文書"));
    QVERIFY(!f.doc.isModified());
    QVERIFY(f.doc.Save_Check());
    QVERIFY(f.fakes.messages.shown.isEmpty());
}

void TestDocument::saveCheck_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<bool>("dialogShown");
    QTest::newRow("yes") << int(MsgResult::Yes) << true << true;
    QTest::newRow("no") << int(MsgResult::No) << true << false;
    QTest::newRow("cancel") << int(MsgResult::Cancel) << false << false;
}

void TestDocument::saveCheck()
{
    QFETCH(int, answer);
    QFETCH(bool, goOn);
    QFETCH(bool, dialogShown);
    Fixture f;
    f.type(QStringLiteral("x"));
    f.fakes.messages.answer(MsgResult(answer));
    if (dialogShown)
        f.fakes.files.answer(QString());  // the save-as dialog, cancelled
    QCOMPARE(f.doc.Save_Check(), goOn);
    QCOMPARE(f.fakes.messages.shown.size(), 1);
    const ShownMessage& m = f.fakes.messages.shown[0];
    QCOMPARE(m.text, QStringLiteral("内容が変更されていますが、保存しますか？"));
    QCOMPARE(m.title, QStringLiteral("終了確認"));
    QCOMPARE(m.icon, MsgIcon::Question);
    QCOMPARE(m.buttons, MsgButtons::YesNoCancel);
    QCOMPARE(!f.fakes.files.requests.isEmpty(), dialogShown);
}

void TestDocument::typingAndDeletingCountsAsUnchanged()
{
    Fixture f;
    f.type(QStringLiteral("x"));
    QVERIFY(f.doc.isModified());
    f.buffer.SetSelection(f.buffer.text().size() - 1, 1);
    f.buffer.type(QString());
    QVERIFY(!f.doc.isModified());
    QVERIFY(f.doc.Save_Check());
    QVERIFY(f.fakes.messages.shown.isEmpty());
}

void TestDocument::yesOnNewDocumentOpensSaveAs()
{
    Fixture f;
    f.type(QStringLiteral("x"));
    f.fakes.messages.answer(MsgResult::Yes);
    f.fakes.files.answer(QString());
    // The save-as dialog is cancelled: the pending action still goes on.
    QVERIFY(f.doc.Save_Check());
    QCOMPARE(f.fakes.files.requests.size(), 1);
    const FileDialogRequest& r = f.fakes.files.requests[0];
    QVERIFY(r.save);
    QCOMPARE(r.title, QStringLiteral("名前をつけて保存"));
    QCOMPARE(r.initialPath, f.app.file(QStringLiteral("work/新規文書")));
    QCOMPARE(r.filter, documentFileFilter());
    QCOMPARE(r.defaultExt, QStringLiteral("html"));
}

void TestDocument::saveAsWritesCp932WithDefaultExtension()
{
    Fixture f;
    f.buffer.SetText(QStringLiteral("<P>髙﨑①～ｱ</P>\r\n"));
    f.fakes.files.answer(f.app.file(QStringLiteral("work/新規文書")));
    QCOMPARE(f.doc.SaveDocumentAs(), SaveOutcome::Written);
    const QString path = f.app.file(QStringLiteral("work/新規文書.html"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), encodeCp932(QStringLiteral("<P>髙﨑①～ｱ</P>\r\n")).bytes);
    QCOMPARE(f.doc.DocumentName(), QStringLiteral("新規文書.html"));
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - 新規文書.html"));
    QCOMPARE(f.doc.WorkingFolder(), f.app.file(QStringLiteral("work")));
    QVERIFY(!f.doc.isModified());
    QCOMPARE(f.forcedPreviews, 1);

    // A later save writes the same file without a dialog.
    f.type(QStringLiteral("more"));
    QCOMPARE(f.doc.save(), SaveOutcome::Written);
    QCOMPARE(f.fakes.files.requests.size(), 1);
    QVERIFY(f.app.read(QStringLiteral("work/新規文書.html")).endsWith("more"));
}

void TestDocument::saveKeepsUtf8AndLfFiles()
{
    Fixture f;
    f.app.put(QStringLiteral("work/u.html"), QByteArray("<p>\xE2\x9C\x93 ok</p>\n<p>2</p>\n"));
    QVERIFY(f.doc.openPath(f.app.file(QStringLiteral("work/u.html"))));
    QCOMPARE(f.buffer.text(), QStringLiteral("<p>✓ ok</p>\r\n<p>2</p>\r\n"));
    f.buffer.SetSelection(0, 0);
    f.buffer.type(QStringLiteral("😀"));  // fine in UTF-8
    QCOMPARE(f.doc.save(), SaveOutcome::Written);
    QCOMPARE(f.app.read(QStringLiteral("work/u.html")),
             QByteArray("\xF0\x9F\x98\x80<p>\xE2\x9C\x93 ok</p>\n<p>2</p>\n"));
}

void TestDocument::openReplacesDocument()
{
    Fixture f;
    f.app.put(QStringLiteral("work/sub/page.htm"), encodeCp932(QStringLiteral("日本語\r\n")).bytes);
    f.type(QStringLiteral("x"));
    f.fakes.messages.answer(MsgResult::No);
    f.fakes.files.answer(f.app.file(QStringLiteral("work/sub/page.htm")));
    f.doc.open();
    QCOMPARE(f.fakes.files.requests[0].title, QStringLiteral("ファイルを開く"));
    QCOMPARE(f.buffer.text(), QStringLiteral("日本語\r\n"));
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - page.htm"));
    QCOMPARE(f.doc.WorkingFolder(), f.app.file(QStringLiteral("work/sub")));
    QCOMPARE(f.doc.PreviousFolder(), f.app.file(QStringLiteral("work")));
    QVERIFY(!f.doc.isModified());
    QVERIFY(!f.history.canUndo());
}

void TestDocument::openFailureKeepsDocument_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << "work/none.html";
    QTest::newRow("a folder") << "work";
    QTest::newRow("quoted path") << "\"work/a.html\"";
}

void TestDocument::openFailureKeepsDocument()
{
    QFETCH(QString, path);
    Fixture f;
    f.app.put(QStringLiteral("work/a.html"), "A");
    f.type(QStringLiteral("typed"));
    const QString before = f.buffer.text();
    QVERIFY(!f.doc.openPath(path.startsWith('"') ? path : f.app.file(path)));
    QCOMPARE(f.buffer.text(), before);
    QVERIFY(f.doc.isModified());  // still counts as unsaved
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - 新規文書"));
    QCOMPARE(f.doc.DocumentName(), QStringLiteral("新規文書"));
    QCOMPARE(f.fakes.messages.shown.size(), 1);
    QCOMPARE(f.fakes.messages.shown[0].icon, MsgIcon::Critical);
}

void TestDocument::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("folderGone");
    QTest::addColumn<QString>("messagePart");
    QTest::newRow("character outside Shift_JIS") << "ok 😀" << false << "U+1F600";
    QTest::newRow("folder that is gone") << "plain" << true << "old.html";
}

void TestDocument::failedSaveChangesNothing()
{
    QFETCH(QString, text);
    QFETCH(bool, folderGone);
    QFETCH(QString, messagePart);
    Fixture f;
    f.app.put(QStringLiteral("ro/old.html"), "old bytes");
    QVERIFY(f.doc.openPath(f.app.file(QStringLiteral("ro/old.html"))));
    if (folderGone)
        QVERIFY(QDir(f.app.path()).rename(QStringLiteral("ro"), QStringLiteral("moved")));
    f.buffer.SetText(text);
    if (!folderGone)
        f.fakes.messages.answer(MsgResult::No);  // not as UTF-8 instead
    QCOMPARE(f.doc.save(), SaveOutcome::Failed);
    if (folderGone)
        QVERIFY(QDir(f.app.path()).rename(QStringLiteral("moved"), QStringLiteral("ro")));
    QCOMPARE(f.app.read(QStringLiteral("ro/old.html")), QByteArray("old bytes"));
    QVERIFY(f.doc.isModified());
    QCOMPARE(f.buffer.text(), text);
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - old.html"));
    QCOMPARE(f.fakes.messages.shown.size(), 1);
    QVERIFY2(f.fakes.messages.shown[0].text.contains(messagePart), qPrintable(f.fakes.messages.shown[0].text));

    // Save as to another name that fails keeps the old name and folder.
    f.fakes.files.answer(f.app.file(QStringLiteral("work/new.html")));
    f.buffer.SetText(QStringLiteral("ok 😀"));
    f.fakes.messages.answer(MsgResult::No);
    QCOMPARE(f.doc.SaveDocumentAs(), SaveOutcome::Failed);
    QCOMPARE(f.doc.DocumentName(), QStringLiteral("old.html"));
    QCOMPARE(f.doc.WorkingFolder(), f.app.file(QStringLiteral("ro")));
    QVERIFY(!QFile::exists(f.app.file(QStringLiteral("work/new.html"))));
}

void TestDocument::failedSaveInQuestionStops()
{
    Fixture f;
    f.app.put(QStringLiteral("work/a.html"), "a");
    QVERIFY(f.doc.openPath(f.app.file(QStringLiteral("work/a.html"))));
    f.type(QStringLiteral("😀"));
    f.fakes.messages.answer(MsgResult::Yes);
    f.fakes.messages.answer(MsgResult::No);  // not as UTF-8 instead
    QVERIFY(!f.doc.Save_Check());            // closing now would lose the text
    QCOMPARE(f.app.read(QStringLiteral("work/a.html")), QByteArray("a"));
}

void TestDocument::templateOpenAndSave()
{
    Fixture f;
    f.app.put(QStringLiteral("template/base.html"), "<HTML>T</HTML>");
    f.fakes.files.answer(f.app.file(QStringLiteral("template/base.html")));
    f.doc.openTemplate();
    const FileDialogRequest& r = f.fakes.files.requests[0];
    QCOMPARE(r.title, QStringLiteral("テンプレートを開く"));
    QCOMPARE(r.initialPath, f.app.file(QStringLiteral("template/(テンプレートファイルを選択してください)")));
    QCOMPARE(f.buffer.text(), QStringLiteral("<HTML>T</HTML>"));
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - テンプレート"));
    QCOMPARE(f.doc.WorkingFolder(), f.app.file(QStringLiteral("work")));  // stays

    // Save asks for a name in the current folder, proposing the template's name.
    f.fakes.files.answer(QString());
    QCOMPARE(f.doc.save(), SaveOutcome::Cancelled);
    QCOMPARE(f.fakes.files.requests[1].initialPath, f.app.file(QStringLiteral("work/base.html")));

    f.fakes.files.answer(f.app.file(QStringLiteral("template/mine")));
    QCOMPARE(f.doc.saveTemplate(), SaveOutcome::Written);
    QCOMPARE(f.fakes.files.requests[2].title, QStringLiteral("テンプレートに保存"));
    QCOMPARE(f.fakes.files.requests[2].initialPath,
             f.app.file(QStringLiteral("template/(ファイル名を入力してください)")));
    QCOMPARE(f.app.read(QStringLiteral("template/mine.html")), QByteArray("<HTML>T</HTML>"));
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - mine.html"));
    QCOMPARE(f.doc.WorkingFolder(), f.app.file(QStringLiteral("template")));
}

void TestDocument::dropIsOneUndoableChange()
{
    Fixture f;
    f.app.put(QStringLiteral("drop/d.txt"), "dropped");
    f.type(QStringLiteral("mine"));
    const QString before = f.buffer.text();
    QVERIFY(f.doc.dropFile(f.app.file(QStringLiteral("drop/d.txt"))));
    QVERIFY(f.fakes.messages.shown.isEmpty());  // no question
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - ") + f.app.file(QStringLiteral("drop/d.txt")));
    QCOMPARE(f.doc.WorkingFolder(), f.app.file(QStringLiteral("drop")));
    QVERIFY(!f.doc.isModified());
    f.history.UndoStep();
    QCOMPARE(f.buffer.text(), before);
}

void TestDocument::newDeletesTemporaryPreview()
{
    Fixture f;
    f.app.put(QStringLiteral("work/quillettmp.html"), "tmp");
    f.type(QStringLiteral("x"));
    f.fakes.messages.answer(MsgResult::Cancel);
    f.doc.newDocument();
    QVERIFY(f.app.exists(QStringLiteral("work/quillettmp.html")));  // cancelled: nothing happens
    f.fakes.messages.answer(MsgResult::No);
    f.doc.newDocument();
    QVERIFY(!f.app.exists(QStringLiteral("work/quillettmp.html")));
    QVERIFY(!f.doc.isModified());
    QCOMPARE(f.doc.title(), QStringLiteral("Tagwright - 新規文書"));
}

void TestDocument::savedMarkKeepsNoCopyOfALargePage()
{
    // A large page is digested on another thread; once that is done, the
    // mark must hold no reference to the text (a second copy of the page).
    QString page(3 << 20, QLatin1Char('x'));
    MemoryEditBuffer buffer(page);
    SavedMark mark;
    mark.set(buffer, page);
    buffer.SetSelection(0, 0);
    buffer.type(QStringLiteral("y"));
    QVERIFY(mark.differsFrom(buffer));  // waits for the digest
    QVERIFY(page.isDetached());
    buffer.SetSelection(0, 1);
    buffer.type(QString());
    QVERIFY(!mark.differsFrom(buffer));
}

void TestDocument::digestOfPiecesIsTheWholeTextsDigest()
{
    // Opening hands the page to the digest's thread piece by piece, writing
    // a buffer again once the thread has let it go; the digest is the one
    // the saved text is compared by.
    const QString page = QStringLiteral("<p>あいう 😀</p>\r\n").repeated(20000);
    const QByteArray utf8 = page.toUtf8();
    BackgroundDigest digest;
    QByteArray buffers[2];
    qint64 pieces = 0;
    for (qsizetype at = 0; at < utf8.size(); at += 4096, ++pieces) {
        if (pieces >= 2)
            digest.waitUntilTaken(pieces - 1);
        QByteArray& piece = buffers[pieces % 2];
        piece.resize(0);
        piece.append(utf8.mid(at, 4096));
        digest.add(piece);
    }
    QCOMPARE(digest.finish().get(), SavedMark::digest(page));
    QVERIFY(buffers[0].isDetached() && buffers[1].isDetached());
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
