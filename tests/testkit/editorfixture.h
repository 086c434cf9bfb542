#pragma once
// The editor's real main window for a test or a benchmark: its own
// application folder with the given quillet.ini, scripted dialogs (the fakes),
// the window loaded and shown. A test that needs more of its own (a real
// launcher, a progress window) derives from it, sets those members up and
// then calls start() with a hook that puts them into the context.

#include "editor/document/ui/richtextbox.h"
#include "editor/window/mainfrm.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/tempappfolder.h"

#include <QSize>

#include <functional>
#include <memory>

class QAction;

namespace tw::test {

struct EditorSetup {
    QSize size;                                   // resized to this before showing, when valid
    bool waitExposed = false;                     // waits until the window is on the screen
    bool browserEngine = false;                   // the real preview engine
    bool shippedSettings = false;                 // the settings files a fresh install writes
    bool activate = false;                        // active window, exposed, the edit box focused
    QString appFolder;                            // another application folder than the window's own
    QString commandLine;                          // the file named on the command line
    std::function<void(QuilletContext&)> adjust;  // the test's own platform parts
};

class EditorFixture {
public:
    TempAppFolder app;
    FakePlatform fakes;
    std::unique_ptr<MainFrm> w;
    bool shown = false;  // exposed, when the setup waited for it

    EditorFixture() = default;
    // A null ini leaves the folder without quillet.ini (a first start).
    explicit EditorFixture(const QByteArray& ini, const EditorSetup& setup = {}) { start(ini, setup); }
    ~EditorFixture();
    EditorFixture(const EditorFixture&) = delete;
    EditorFixture& operator=(const EditorFixture&) = delete;

    void start(const QByteArray& ini, const EditorSetup& setup = {});
    // Closes the window, throwing away unsaved text, at the end of a benchmark.
    void discardAndClose();

    RichTextBox* box() const;
    EditBuffer& buffer() const { return w->session().buffer(); }
    QString text() const { return buffer().text(); }
    QAction* act(const char* id) const;
    QString path(const char* relative) const { return app.file(QString::fromUtf8(relative)); }
};

}  // namespace tw::test
