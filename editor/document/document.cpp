#include "editor/document/document.h"

#include "common/appfolder.h"
#include "editor/document/editbuffer.h"
#include "editor/document/edithistory.h"
#include "editor/settings/headerfooter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tw {

QString newDocumentName()
{
    return QStringLiteral("新規文書");
}

QString documentFileFilter()
{
    return QStringLiteral(
        "HTMLファイル (*.html;*.htm;*.shtm;*.shtml)|*.html;*.htm;*.shtm;*.shtml|"
        "テキスト＆ソースファイル (*.txt;*.c;*.cpp)|*.txt;*.c;*.cpp|"
        "すべてのファイル (*.*)|*.*");
}

QString titlePrefix()
{
    return QStringLiteral("Tagwright - ");
}

QString tempPreviewName()
{
    return QStringLiteral("quillettmp.html");
}

namespace {
const QString kHtmlExt = QStringLiteral("html");

QString folderOf(const QString& fullPath)
{
    const qsizetype slash = fullPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return fullPath.left(slash);
}

QString nameOf(const QString& fullPath)
{
    return fullPath.mid(fullPath.lastIndexOf(QLatin1Char('/')) + 1);
}
}  // namespace

Document::Document(EditBuffer& buffer, EditHistory& history, const Platform& platform, const QString& appFolder)
    : m_buffer(buffer),
      m_history(history),
      m_platform(platform),
      m_appFolder(appFolder),
      m_workingFolder(appFolder),
      m_panelFolder(appFolder),
      m_documentName(newDocumentName()),
      m_header(defaultHeaderText()),
      m_footer(defaultFooterText())
{
    m_title = titlePrefix() + m_documentName;
}

QString Document::fullPath() const
{
    return joinPath(hasOwnFile() ? m_documentFolder : m_panelFolder, m_documentName);
}

bool Document::isModified() const
{
    return m_saved.differsFrom(m_buffer);
}

void Document::setHeaderFooter(const QString& header, const QString& footer)
{
    m_header = header;
    m_footer = footer;
}

void Document::setPanelFolder(const QString& folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    const bool moved = f != m_panelFolder;
    m_panelFolder = f;
    Fpath_Change();
    if (moved)
        emit panelFolderChanged(m_panelFolder);
}

bool Document::Save_Check()
{
    if (!isModified())
        return true;
    const MsgResult r =
        m_platform.messages->show(QStringLiteral("内容が変更されていますが、保存しますか？"),
                                  QStringLiteral("終了確認"), MsgIcon::Question, MsgButtons::YesNoCancel);
    if (r == MsgResult::Cancel)
        return false;
    if (r == MsgResult::Yes) {
        // A cancelled save dialog lets the pending action go on; a write that
        // failed does not, or the text would be lost.
        return save() != SaveOutcome::Failed;
    }
    return true;
}

void Document::FillNewDocument()
{
    m_buffer.SetText(newDocumentText(m_header, m_footer));
    m_saved.set(m_buffer, m_buffer.text());
    setFormat(FileFormat{});
}

void Document::UpdateTitle()
{
    setTitle(titlePrefix() + m_documentName);
}

void Document::setTitle(const QString& title)
{
    m_title = title;
    emit titleChanged(m_title);
}

void Document::Fpath_Change()
{
    // The panel's folder is kept without a trailing separator; the root stays "/".
    m_workingFolder = m_panelFolder;
}

void Document::FollowDocumentFolder(const QString& fullPath)
{
    // The document keeps its own folder; the panel only follows it, and may
    // move elsewhere later without changing where the document is saved.
    const QString folder = folderOf(fullPath);
    m_documentFolder = folder;
    if (!folder.isEmpty())
        setPanelFolder(folder);
    Fpath_Change();
    emit documentFileTaken(fullPath);
}

void Document::deleteTempPreview(const QString& folder) const
{
    QFile::remove(joinPath(folder, tempPreviewName()));
}

void Document::discardPreview()
{
    emit discardPreviewRequested();
}

void Document::refreshPreview(bool forced)
{
    emit refreshPreviewRequested(forced);
}

void Document::showError(const QString& text) const
{
    m_platform.messages->show(text, QStringLiteral("Quillet"), MsgIcon::Critical, MsgButtons::Ok);
}

bool Document::confirmBinary(const QString& path) const
{
    return m_platform.messages->show(
               QStringLiteral("%1 はテキストファイルではないようです（NUL 文字や制御文字を含んでいます）。\n"
                              "開いて保存すると、それらの文字が変わることがあります。開きますか？")
                   .arg(QDir::toNativeSeparators(path)),
               QStringLiteral("Quillet"), MsgIcon::Question, MsgButtons::YesNo)
           == MsgResult::Yes;
}

bool Document::readFile(const QString& path, ReadResult& result) const
{
    result = readTextFile(path, TextKind::Document);
    if (!result.ok) {
        showError(QStringLiteral("ファイルを開けませんでした。\n") + result.error);
        return false;
    }
    return !result.looksBinary || confirmBinary(path);
}

bool Document::loadFile(const QString& path, std::optional<TextEncoding> forced, LoadedDocument& loaded)
{
    LoadRequest request;
    request.forced = forced;
    request.progress = m_platform.progress;
    request.tuning = m_loadTuning;
    request.confirmBinary = [this, path] { return confirmBinary(path); };
    loaded = readDocument(path, m_buffer, request);
    if (!loaded.ok && !loaded.cancelled)
        showError(QStringLiteral("ファイルを開けませんでした。\n") + loaded.error);
    return loaded.ok;
}

void Document::takeLoaded(LoadedDocument& loaded)
{
    setFormat(loaded.format);
    loaded.load->commit();
    loaded.load.reset();
    m_saved.set(m_buffer, loaded.digest);
}

void Document::setFormat(const FileFormat& format)
{
    const bool changed = format.encoding != m_format.encoding || format.lineEnd != m_format.lineEnd;
    m_format = format;
    if (changed)
        emit formatChanged();
}

void Document::setSaveEncoding(TextEncoding encoding)
{
    setFormat(FileFormat{encoding, m_format.lineEnd});
}

void Document::takeText(const ReadResult& file)
{
    setFormat(file.format);
    m_buffer.SetText(file.text);
    // The read text has CR LF breaks already, so it is the buffer's text.
    m_saved.set(m_buffer, file.text);
}

WriteResult Document::writeOfferingUtf8(const QString& path, QString text, const WriteResult& failed)
{
    const MsgResult useUtf8 =
        m_platform.messages->show(failed.error + QStringLiteral("\n\nUTF-8 で保存しますか？"),
                                  QStringLiteral("Quillet"), MsgIcon::Question, MsgButtons::YesNo);
    if (useUtf8 != MsgResult::Yes)
        return failed;
    if (const auto declared = declaredCharset(text); declared && declared->encoding == TextEncoding::Cp932) {
        const QString name = text.mid(declared->start, declared->length);
        const MsgResult rewrite = m_platform.messages->show(
            QStringLiteral("このページは <meta> で文字コードを %1 と宣言しています。\nUTF-8 に書き換えますか？")
                .arg(name),
            QStringLiteral("Quillet"), MsgIcon::Question, MsgButtons::YesNo);
        if (rewrite == MsgResult::Yes) {
            m_buffer.replaceRanges({TextEdit{declared->start, name, QStringLiteral("UTF-8")}});
            text = m_buffer.text();
        }
    }
    const FileFormat utf8{TextEncoding::Utf8, m_format.lineEnd};
    WriteResult w = writeTextFile(path, text, utf8);
    if (w.ok)
        setFormat(utf8);
    else
        showError(w.error);
    return w;
}

bool Document::offerSaveAs(const QString& path) const
{
    return m_platform.messages->show(QStringLiteral("%1 は書き込み禁止になっています。\n名前をつけて保存しますか？")
                                         .arg(QDir::toNativeSeparators(path)),
                                     QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::YesNo)
           == MsgResult::Yes;
}

bool Document::writeTo(const QString& path, bool* writeProtected)
{
    QString text = m_buffer.text();
    WriteResult w = writeTextFile(path, text, m_format);
    if (w.writeProtected && writeProtected) {
        *writeProtected = true;
        return false;
    }
    if (!w.ok && w.unencodable && m_format.encoding == TextEncoding::Cp932) {
        // Either way the user has been told: the question named the
        // character, a failure after it was shown.
        w = writeOfferingUtf8(path, text, w);
        if (!w.ok)
            return false;
        text = m_buffer.text();
    }
    if (!w.ok) {
        showError(w.error);
        return false;
    }
    // What is in the file now is the saved text.
    m_saved.set(m_buffer, text);
    emit fileWritten(path);
    return true;
}

void Document::newDocument()
{
    if (!Save_Check())
        return;
    deleteTempPreview(m_panelFolder);
    discardPreview();
    FillNewDocument();
    m_documentName = newDocumentName();
    m_documentFolder.clear();
    UpdateTitle();
    m_history.ResetHistory();
}

void Document::newFromText(const QString& text)
{
    // A new document: saving asks for a name instead of overwriting the
    // file that was open, and the page is written in the default encoding
    // its SHIFT_JIS header declares.
    deleteTempPreview(m_panelFolder);
    discardPreview();
    m_buffer.SetText(text);
    m_saved.set(m_buffer, m_buffer.text());
    setFormat(FileFormat{});
    m_documentName = newDocumentName();
    m_documentFolder.clear();
    UpdateTitle();
    m_history.ResetHistory();
    refreshPreview(true);
}

void Document::open()
{
    if (!Save_Check())
        return;
    deleteTempPreview(m_panelFolder);
    m_previousFolder = m_panelFolder;
    FileDialogRequest req;
    req.save = false;
    req.title = QStringLiteral("ファイルを開く");
    req.filter = documentFileFilter();
    req.initialPath = joinPath(m_panelFolder, QString());
    req.defaultExt = kHtmlExt;
    const QString path = m_platform.files->run(req);
    if (path.isEmpty())
        return;
    openPath(path);
}

bool Document::openFromPanel(const QString& name)
{
    if (!Save_Check())
        return false;
    return openPath(joinPath(m_panelFolder, name));
}

bool Document::openPath(const QString& fullPath)
{
    // Read first: a file that cannot be read, or whose reading is
    // cancelled, leaves the document as it was.
    LoadedDocument loaded;
    if (!loadFile(fullPath, std::nullopt, loaded))
        return false;
    discardPreview();
    m_documentName = nameOf(fullPath);
    FollowDocumentFolder(fullPath);
    takeLoaded(loaded);
    UpdateTitle();
    m_history.ResetHistory();
    return true;
}

bool Document::dropFile(const QString& fullPath)
{
    ReadResult r;
    if (!readFile(fullPath, r))
        return false;
    takeText(r);
    setTitle(titlePrefix() + fullPath);
    m_documentName = nameOf(fullPath);
    FollowDocumentFolder(fullPath);
    return true;
}

bool Document::reopenAs(TextEncoding encoding)
{
    if (!hasOwnFile())
        return false;
    if (isModified()) {
        const MsgResult r =
            m_platform.messages->show(QStringLiteral("内容が変更されています。変更を破棄して開き直しますか？"),
                                      QStringLiteral("Quillet"), MsgIcon::Question, MsgButtons::YesNo);
        if (r != MsgResult::Yes)
            return false;
    }
    LoadedDocument loaded;
    if (!loadFile(fullPath(), encoding, loaded))
        return false;
    discardPreview();
    takeLoaded(loaded);
    m_history.ResetHistory();
    refreshPreview(true);
    return true;
}

SaveOutcome Document::save()
{
    if (m_title == titlePrefix() + newDocumentName() || m_title == titlePrefix() + QStringLiteral("テンプレート")
        || !hasOwnFile())
        return SaveDocumentAs();
    // Replacing a file its owner made read-only would go past the owner's
    // intent: the text goes under another name, or stays unsaved.
    bool writeProtected = false;
    if (writeTo(fullPath(), &writeProtected))
        return SaveOutcome::Written;
    if (writeProtected && offerSaveAs(fullPath()))
        return SaveDocumentAs();
    return SaveOutcome::Failed;
}

SaveOutcome Document::SaveDocumentAs()
{
    FileDialogRequest req;
    req.save = true;
    req.title = QStringLiteral("名前をつけて保存");
    req.filter = documentFileFilter();
    req.initialPath = fullPath();
    req.defaultExt = kHtmlExt;
    return saveUnderName(req);
}

SaveOutcome Document::saveUnderName(const FileDialogRequest& req)
{
    const QString path = m_platform.files->run(req);
    if (path.isEmpty())
        return SaveOutcome::Cancelled;
    // Write before taking the new name: a failed write changes nothing.
    bool writeProtected = false;
    if (!writeTo(path, &writeProtected))
        return writeProtected && offerSaveAs(path) ? SaveDocumentAs() : SaveOutcome::Failed;
    m_documentName = nameOf(path);
    FollowDocumentFolder(path);
    refreshPreview(true);
    UpdateTitle();
    return SaveOutcome::Written;
}

void Document::openTemplate()
{
    if (!Save_Check())
        return;
    FileDialogRequest req;
    req.save = false;
    req.title = QStringLiteral("テンプレートを開く");
    req.filter = documentFileFilter();
    req.initialPath = joinPath(m_appFolder, QStringLiteral("template/(テンプレートファイルを選択してください)"));
    req.defaultExt = kHtmlExt;
    const QString path = m_platform.files->run(req);
    if (path.isEmpty())
        return;
    LoadedDocument loaded;
    if (!loadFile(path, std::nullopt, loaded))
        return;
    discardPreview();
    m_documentName = nameOf(path);
    // A template is not the document's own file: saving asks for a name.
    m_documentFolder.clear();
    takeLoaded(loaded);
    UpdateTitle();
    m_history.ResetHistory();
    setTitle(titlePrefix() + QStringLiteral("テンプレート"));
}

SaveOutcome Document::saveTemplate()
{
    FileDialogRequest req;
    req.save = true;
    req.title = QStringLiteral("テンプレートに保存");
    req.filter = documentFileFilter();
    req.initialPath = joinPath(m_appFolder, QStringLiteral("template/(ファイル名を入力してください)"));
    req.defaultExt = kHtmlExt;
    return saveUnderName(req);
}

}  // namespace tw
