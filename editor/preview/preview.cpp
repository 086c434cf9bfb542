#include "editor/preview/preview.h"

#include "common/appfolder.h"

#include <QFile>

namespace tw {

QString previewFilePath(const QString& workingFolder)
{
    return joinPath(workingFolder, QStringLiteral("quillettmp.html"));
}

WriteResult writePreviewFile(const QString& path, const QString& text, const FileFormat& format,
                             const QString& documentFile)
{
    // A throw-away file: not synced to the disk on every keystroke. Group
    // and others get what they have on the document; the owner keeps reading
    // and writing it, so that the next refresh can replace it.
    WriteOptions options{.ownerOnly = false, .sync = false};
    if (const auto mode = documentFile.isEmpty() ? std::nullopt : filePermissions(documentFile))
        options.permissions = (*mode & 0066) | 0600;
    return writeTextFile(path, text, format, options);
}

QString browserPath(const EditorSettings& s, int n)
{
    switch (n) {
        case 1:
            return s.Browser1;
        case 2:
            return s.Browser2;
        case 3:
            return s.Browser3;
        default:
            return {};
    }
}

BrowserMenuState browserMenuState(const EditorSettings& s)
{
    BrowserMenuState m;
    const QString names[3] = {s.Browser1Name, s.Browser2Name, s.Browser3Name};
    for (int i = 0; i < 3; ++i) {
        m.caption[i] = QStringLiteral("ブラウザ%1(&%1)").arg(i + 1);
        if (!browserPath(s, i + 1).isEmpty()) {
            m.visible[i] = true;
            m.caption[i] = names[i];
            m.separatorVisible = true;
        }
    }
    return m;
}

BrowserLaunch browserLaunch(const QString& browser, const QString& file)
{
    return {browser, {file}};
}

QString previewWindowCaption(int width, int height)
{
    return QStringLiteral("プレビューウインドウ (%1×%2)").arg(width).arg(height);
}

QString companionPath(const QString& appFolder, const QString& program)
{
    return joinPath(appFolder, QStringLiteral("tools/") + program);
}

namespace {
const int kPaceMs = 30;  // changes within this time make one refresh
}  // namespace

QString largePageNotice()
{
    return QStringLiteral("ページが大きいため自動更新を停止しています。F9 で更新します。");
}

PreviewPipeline::PreviewPipeline(Hooks hooks, QObject* parent) : QObject(parent), m_hooks(std::move(hooks))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPaceMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_hooks.loading && m_hooks.loading())
            m_timer.start();  // looked at again shortly
        else
            refreshNow();
    });
}

void PreviewPipeline::refresh(PreviewCause cause, const EditorSettings& settings)
{
    if (cause == PreviewCause::Request) {
        m_timer.stop();
        refreshNow();
        return;
    }
    if (cause == PreviewCause::Change && settings.RealTimePreview != 1)
        return;
    if (m_hooks.pageSize && m_hooks.pageSize() > autoRefreshLimit) {
        m_timer.stop();
        report(largePageNotice());
        return;
    }
    if (cause == PreviewCause::Document) {
        m_timer.stop();
        refreshNow();
    } else if (!m_timer.isActive()) {
        m_timer.start();
    }
}

void PreviewPipeline::flush()
{
    if (m_timer.isActive()) {
        m_timer.stop();
        refreshNow();
    }
}

QString PreviewPipeline::filePath() const
{
    return previewFilePath(m_hooks.folder());
}

void PreviewPipeline::removeFile()
{
    m_timer.stop();
    if (!m_written.isEmpty())
        QFile::remove(m_written);
    m_written.clear();
}

void PreviewPipeline::folderChanged()
{
    if (!m_written.isEmpty() && m_written != filePath()) {
        QFile::remove(m_written);
        m_written.clear();
    }
}

void PreviewPipeline::report(const QString& notice)
{
    if (notice == m_notice)
        return;
    m_notice = notice;
    emit noticeChanged(notice);
}

void PreviewPipeline::refreshNow()
{
    const QString path = filePath();
    const WriteResult w = writePreviewFile(path, m_hooks.text(), m_hooks.format(),
                                           m_hooks.documentFile ? m_hooks.documentFile() : QString());
    if (w.ok) {
        ++m_writes;
        // Only one preview file at a time: the one in the folder left behind goes.
        if (!m_written.isEmpty() && m_written != path)
            QFile::remove(m_written);
        m_written = path;
        report(QString());
    } else {
        // The reason without the temporary file's name, which means nothing to the user.
        const QString reason = w.error.section(QLatin1Char('\n'), 1);
        report(QStringLiteral("プレビューを更新できません。") + (reason.isEmpty() ? w.error : reason));
    }
    // Shown even when the write failed: the browser then shows the last file.
    emit pageReady(path);
}

}  // namespace tw
