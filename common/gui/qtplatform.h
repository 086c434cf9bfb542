#pragma once
// The platform operations on Qt.

#include "common/download.h"
#include "common/platform.h"

class QApplication;
class QProgressDialog;
class QWidget;

namespace tw {

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    MsgResult show(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;

private:
    QWidget* m_parent;
};

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    QString run(const FileDialogRequest& request) override;

    // "desc|pattern|desc|pattern" to Qt's filter list.
    static QStringList toQtFilters(const QString& filter);

private:
    QWidget* m_parent;
    QString m_lastName;  // one dialog object: an unnamed dialog starts with the last name chosen
};

class QtColourDialogs : public ColourDialogs {
public:
    explicit QtColourDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<std::uint32_t> pick() override;

private:
    QWidget* m_parent;
};

class QtClipboard : public Clipboard {
public:
    void setText(const QString& text) override;
    bool hasText() const override;
    QString text() const override;
};

class QtClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class QtLauncher : public Launcher {
public:
    Result startDetached(const QString& program, const QStringList& args, const QString& workingDir) override;
    Result openWithDesktop(const QString& pathOrUrl) override;
};

class QtFolderDialogs : public FolderDialogs {
public:
    explicit QtFolderDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    QString chooseFolder(const QString& title, const QString& startFolder) override;

private:
    QWidget* m_parent;
};

class QtTextPrompt : public TextPrompt {
public:
    explicit QtTextPrompt(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    std::optional<QString> ask(const QString& title, const QString& label, const QString& initial) override;

private:
    QWidget* m_parent;
};

class QtProgress : public Progress {
public:
    explicit QtProgress(QWidget* parent = nullptr) : m_parent(parent) {}
    ~QtProgress() override;
    void setParent(QWidget* parent) { m_parent = parent; }
    void begin(const QString& title, const QString& text, qint64 total) override;
    bool step(qint64 done) override;
    void end() override;

private:
    QWidget* m_parent;
    QProgressDialog* m_dialog = nullptr;
    qint64 m_total = 0;
};

// Owns one of each, for a program's main().
struct QtPlatform {
    QtMessageBoxes messages;
    QtFileDialogs files;
    QtColourDialogs colours;
    QtClipboard clipboard;
    QtClock clock;
    QtLauncher launcher;
    QtFolderDialogs folders;
    QtTextPrompt prompt;
    CurlDownloader downloader;
    QtProgress progress;
    Platform platform()
    {
        return {.messages = &messages,
                .files = &files,
                .colours = &colours,
                .clipboard = &clipboard,
                .clock = &clock,
                .launcher = &launcher,
                .folders = &folders,
                .prompt = &prompt,
                .downloader = &downloader,
                .progress = &progress};
    }
    // Dialogs open centred on the program's main window.
    void setParent(QWidget* window)
    {
        messages.setParent(window);
        files.setParent(window);
        folders.setParent(window);
        prompt.setParent(window);
        progress.setParent(window);
    }
};

// Loads Qt's own Japanese texts (standard buttons, file dialogs).
void installJapaneseTranslations(QApplication& app);

}  // namespace tw
