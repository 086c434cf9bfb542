#pragma once
// The preview: one temporary file, quillettmp.html beside the document (in
// the working folder for a new document), shown by the embedded browser, the
// preview window and the external browsers.

#include "editor/settings/editorsettings.h"
#include "common/textfile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace tw {

QString previewFilePath(const QString& workingFolder);

// Shown above the preview while a large page is not refreshed on changes.
QString largePageNotice();

// Writes the text in the document's own encoding, replacing the file. A
// failure leaves the previous file (or none) and says why. The copy is
// readable by no one the document itself (documentFile, when it has one)
// is not readable by.
WriteResult writePreviewFile(const QString& path, const QString& text, const FileFormat& format,
                             const QString& documentFile = QString());

// The preview menu's browser entries as the settings want them.
struct BrowserMenuState {
    bool separatorVisible = false;  // separatorH, IDM_CONTEXT_PREVIEW_S1
    bool visible[3] = {false, false, false};
    QString caption[3];  // the configured names; the design-time captions while hidden
};
BrowserMenuState browserMenuState(const EditorSettings& s);

QString browserPath(const EditorSettings& s, int n);  // n = 1..3

// How a configured browser is started: the program, and the file as its one
// argument (each passed whole, so paths with spaces work).
struct BrowserLaunch {
    QString program;
    QStringList args;
};
BrowserLaunch browserLaunch(const QString& browser, const QString& file);

QString previewWindowCaption(int width, int height);

// The companion programs in the tools folder.
QString companionPath(const QString& appFolder, const QString& program);

// Why the preview is asked to show the text again.
enum class PreviewCause {
    Change,    // the text changed (only with real-time preview on)
    Document,  // another document, a new one, or saved under a new name
    Request,   // the user asked: F9, the refresh button, the preview tab
};

// Writes the preview file and hands it to the browser. A requested refresh
// runs at once; one after a change of the text only while real-time preview
// is on, and coalesced and paced to the browser: changes in quick
// succession, or made while the browser is still loading the page before,
// lead to one write and one reload with the latest text, never two loads at
// once. A page above autoRefreshLimit is shown only on request: the browser
// engine takes many times a page's size in memory and time at every load.
class PreviewPipeline : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<QString()> text;
        std::function<FileFormat()> format;
        std::function<QString()> folder;  // where the preview file goes
        // True while the browser is still loading the last page: a refresh
        // after a change waits for it, then writes the latest text once.
        std::function<bool()> loading;
        // The document's own file, empty while it has none: the preview
        // file takes its permissions.
        std::function<QString()> documentFile = {};
        // The page's length in characters.
        std::function<qsizetype()> pageSize = {};
    };

    // Characters. Measured with the browser engine of Debian 12 (bench_preview):
    // showing a 2 MB page takes some 2.5 s and its helper processes 450 MB;
    // 4 MB take 7 s and 700 MB, 8 MB 25 s and 1.3 GB. Reloading a larger
    // page at every pause in typing costs more than it shows.
    qsizetype autoRefreshLimit = qsizetype(2) << 20;

    explicit PreviewPipeline(Hooks hooks, QObject* parent = nullptr);

    void refresh(PreviewCause cause, const EditorSettings& settings);
    // forced: the user's request; else a change of the text.
    void RefreshPreview(bool forced, const EditorSettings& settings)
    {
        refresh(forced ? PreviewCause::Request : PreviewCause::Change, settings);
    }
    bool pending() const { return m_timer.isActive(); }
    // Runs a pending refresh now.
    void flush();
    // Drops a pending refresh (the program is closing).
    void cancel() { m_timer.stop(); }
    int writes() const { return m_writes; }
    // The preview file last written, empty when none is on the disk.
    QString writtenFile() const { return m_written; }
    // The path the next refresh writes.
    QString filePath() const;
    // Removes the preview file that was written (a new document, an open,
    // the end of the program).
    void removeFile();
    // The file panel moved: a preview file left in a folder it no longer
    // belongs in is removed.
    void folderChanged();

signals:
    // The preview file to show (also after a failed write: the browser then
    // shows the last file).
    void pageReady(const QString& path);
    // The line shown above the page: why it is not refreshed (a failed
    // write, a large page), empty when it is; not on every keystroke.
    void noticeChanged(const QString& notice);

private:
    void refreshNow();
    void report(const QString& notice);

    Hooks m_hooks;
    QTimer m_timer;
    int m_writes = 0;
    QString m_written;
    QString m_notice;
};

}  // namespace tw
