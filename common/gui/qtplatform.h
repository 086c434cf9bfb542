#pragma once
// The platform operations on Qt.

#include "platform.h"

class QApplication;
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
    bool startDetached(const QString& program, const QStringList& args, const QString& workingDir,
                       QString* error) override;
    bool openWithDesktop(const QString& pathOrUrl, QString* error) override;
};

// Owns one of each, for a program's main().
struct QtPlatform {
    QtMessageBoxes messages;
    QtFileDialogs files;
    QtColourDialogs colours;
    QtClipboard clipboard;
    QtClock clock;
    QtLauncher launcher;
    Platform platform() { return {&messages, &files, &colours, &clipboard, &clock, &launcher}; }
};

// Loads Qt's own Japanese texts (standard buttons, file dialogs).
void installJapaneseTranslations(QApplication& app);

}  // namespace tw
