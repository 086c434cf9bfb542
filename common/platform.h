#pragma once
// The platform operations the programs need (message boxes, file and colour
// dialogs, clipboard, clock, starting programs). Core code talks to these
// interfaces only; common/gui implements them with Qt and tests/testkit with
// scripted fakes.

#include "common/result.h"
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tw {

enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgResult show(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) = 0;
};

struct FileDialogRequest {
    bool save = false;
    QString title;
    QString filter;       // "description|pattern|description|pattern..."; the first pair is selected
    QString initialPath;  // folder + name shown in the name field
    QString defaultExt;   // appended after a dot to a name typed without an extension
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen full path, or an empty text when cancelled.
    virtual QString run(const FileDialogRequest& request) = 0;
};

class ColourDialogs {
public:
    virtual ~ColourDialogs() = default;
    // A platform colour value (lowest byte red, then green, then blue), or
    // nothing when cancelled.
    virtual std::optional<std::uint32_t> pick() = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;  // replaces whatever was there
    virtual bool hasText() const = 0;               // plain text is on it
    virtual QString text() const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a program without waiting for it.
    virtual Result startDetached(const QString& program, const QStringList& args, const QString& workingDir) = 0;
    // Opens a file or address with the desktop's handler.
    virtual Result openWithDesktop(const QString& pathOrUrl) = 0;
};

class FolderDialogs {
public:
    virtual ~FolderDialogs() = default;
    // The chosen folder, or an empty text when cancelled.
    virtual QString chooseFolder(const QString& title, const QString& startFolder) = 0;
};

class TextPrompt {
public:
    virtual ~TextPrompt() = default;
    // One line of text, or nothing when cancelled.
    virtual std::optional<QString> ask(const QString& title, const QString& label, const QString& initial) = 0;
};

struct DownloadRequest {
    QString url;     // http:// or https://
    QString target;  // the file the body is written to (atomically)
    int connectTimeoutMs = 5000;
    int totalTimeoutMs = 10000;
    qint64 maxBytes = 4 << 20;  // a larger body fails the download
};

struct DownloadResult {
    bool ok = false;
    long status = 0;  // the HTTP status, 0 without an answer
    QString error;    // Japanese, when not ok
};

class Downloader {
public:
    virtual ~Downloader() = default;
    // Fetches one address into a file, letting window events run meanwhile;
    // never longer than the request's time-outs.
    virtual DownloadResult download(const DownloadRequest& request) = 0;
};

class Progress {
public:
    virtual ~Progress() = default;
    // Shows a progress window with a キャンセル button for work of total steps.
    virtual void begin(const QString& title, const QString& text, qint64 total) = 0;
    // Moves it on and lets window events run; false once the user cancelled.
    virtual bool step(qint64 done) = 0;
    virtual void end() = 0;
};

// The set a window or a core operation is given; filled by name
// (Platform{.messages = ..., .files = ...}), members not needed stay null.
struct Platform {
    MessageBoxes* messages = nullptr;
    FileDialogs* files = nullptr;
    ColourDialogs* colours = nullptr;
    Clipboard* clipboard = nullptr;
    Clock* clock = nullptr;
    Launcher* launcher = nullptr;
    FolderDialogs* folders = nullptr;
    TextPrompt* prompt = nullptr;
    Downloader* downloader = nullptr;
    Progress* progress = nullptr;
};

// Appends "." + ext to a path whose file name has no extension.
QString applyDefaultExtension(const QString& path, const QString& ext);

}  // namespace tw
