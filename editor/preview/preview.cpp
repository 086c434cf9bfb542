#include "preview.h"

#include "appfolder.h"

namespace tw {

QString previewFilePath(const QString& workingFolder)
{
    return joinPath(workingFolder, QStringLiteral("quillettmp.html"));
}

bool writePreviewFile(const QString& path, const QString& text, const FileFormat& format)
{
    return writeTextFile(path, text, format).ok;
}

QString browserPath(const EditorSettings& s, int n)
{
    switch (n) {
    case 1: return s.Browser1;
    case 2: return s.Browser2;
    case 3: return s.Browser3;
    default: return {};
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

PreviewPipeline::PreviewPipeline(Hooks hooks, QObject* parent) : QObject(parent), m_hooks(std::move(hooks))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(30);
    connect(&m_timer, &QTimer::timeout, this, &PreviewPipeline::refreshNow);
}

void PreviewPipeline::RefreshPreview(bool forced, const EditorSettings& settings)
{
    if (forced) {
        m_timer.stop();
        refreshNow();
        return;
    }
    if (settings.RealTimePreview != 1)
        return;
    if (!m_timer.isActive())
        m_timer.start();
}

void PreviewPipeline::flush()
{
    if (m_timer.isActive()) {
        m_timer.stop();
        refreshNow();
    }
}

void PreviewPipeline::refreshNow()
{
    const QString path = previewFilePath(m_hooks.workingFolder());
    if (writePreviewFile(path, m_hooks.text(), m_hooks.format()))
        ++m_writes;
    // Shown even when the write failed: the browser then shows the last file.
    if (m_hooks.show)
        m_hooks.show(path);
}

}  // namespace tw
