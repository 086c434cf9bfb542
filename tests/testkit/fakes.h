#pragma once
// Scripted fakes of the platform operations. Each is told its answers in
// advance and records what it was asked, so a test can say "the question was
// asked, the user said No, nothing was written".

#include "common/platform.h"

#include <QList>
#include <QStringList>
#include <QQueue>

namespace tw::test {

struct ShownMessage {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

// Every fake that asks the user something stops the test loudly when the
// test did not script an answer: a question nobody expected is a fault.

class FakeMessageBoxes : public MessageBoxes {
public:
    // Answers given in order. A box with only OK needs none; once the answers
    // run out, a question gets defaultAnswer if set, else the test stops.
    void answer(MsgResult r) { m_answers.enqueue(r); }
    MsgResult show(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;

    QList<ShownMessage> shown;
    std::optional<MsgResult> defaultAnswer;

private:
    QQueue<MsgResult> m_answers;
};

class FakeFileDialogs : public FileDialogs {
public:
    // Next dialog returns this path (empty = cancel). The default extension
    // is applied as the real dialog does.
    void answer(const QString& path) { m_answers.enqueue(path); }
    QString run(const FileDialogRequest& request) override;

    QList<FileDialogRequest> requests;

private:
    QQueue<QString> m_answers;
};

class FakeColourDialogs : public ColourDialogs {
public:
    void answer(std::optional<std::uint32_t> c) { m_answers.enqueue(c); }
    std::optional<std::uint32_t> pick() override;
    int asked = 0;

private:
    QQueue<std::optional<std::uint32_t>> m_answers;
};

class FakeClipboard : public Clipboard {
public:
    void setText(const QString& text) override
    {
        m_text = text;
        m_hasText = true;
    }
    bool hasText() const override { return m_hasText; }
    QString text() const override { return m_hasText ? m_text : QString(); }
    // Something that is not text (a picture) is on the clipboard.
    void setNonText()
    {
        m_text.clear();
        m_hasText = false;
    }

private:
    QString m_text;
    bool m_hasText = false;
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return time; }
    QDateTime time = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7));
};

class FakeLauncher : public Launcher {
public:
    struct Start {
        QString program;
        QStringList args;
        QString workingDir;
    };
    Result startDetached(const QString& program, const QStringList& args, const QString& workingDir) override;
    Result openWithDesktop(const QString& pathOrUrl) override;

    QList<Start> started;
    QStringList opened;
    bool succeed = true;
};

class FakeFolderDialogs : public FolderDialogs {
public:
    void answer(const QString& folder) { m_answers.enqueue(folder); }
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    QStringList asked;  // the start folders

private:
    QQueue<QString> m_answers;
};

class FakeTextPrompt : public TextPrompt {
public:
    void answer(std::optional<QString> text) { m_answers.enqueue(text); }
    std::optional<QString> ask(const QString& title, const QString& label, const QString& initial) override;
    QStringList asked;  // the labels

private:
    QQueue<std::optional<QString>> m_answers;
};

class FakeDownloader : public Downloader {
public:
    // The next download writes bytes to its target and succeeds, or fails
    // with the result given.
    void answer(const QByteArray& bytes) { m_answers.enqueue({bytes, {}}); }
    void fail(const DownloadResult& result) { m_answers.enqueue({{}, result}); }
    DownloadResult download(const DownloadRequest& request) override;
    QList<DownloadRequest> requests;

private:
    QQueue<std::pair<QByteArray, DownloadResult>> m_answers;
};

// A full set of fakes, handed out as a Platform.
struct FakePlatform {
    FakeMessageBoxes messages;
    FakeFileDialogs files;
    FakeColourDialogs colours;
    FakeClipboard clipboard;
    FakeClock clock;
    FakeLauncher launcher;
    FakeFolderDialogs folders;
    FakeTextPrompt prompt;
    FakeDownloader downloader;
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
                .downloader = &downloader};
    }
};

}  // namespace tw::test
