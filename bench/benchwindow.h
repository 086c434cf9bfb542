#pragma once
// The editor's real main window for a benchmark: its own application folder
// with the given quillet.ini, scripted dialogs, shown at 1000 x 700.

#include "tests/testkit/fakes.h"
#include "tests/testkit/tempappfolder.h"
#include "editor/window/mainfrm.h"
#include "editor/document/ui/richtextbox.h"

#include <QTest>

#include <memory>

namespace tw::bench {

struct BenchWindow {
    tw::test::TempAppFolder folder;
    tw::test::FakePlatform fakes;
    std::unique_ptr<tw::MainFrm> w;
    tw::RichTextBox* box = nullptr;
    bool shown = false;

    explicit BenchWindow(const QByteArray& ini, bool browserEngine = false)
    {
        folder.put(QStringLiteral("tools/Setting/quillet.ini"), ini);
        w = std::make_unique<tw::MainFrm>(
            tw::QuilletContext{fakes.platform(), folder.path(), QString(), browserEngine});
        w->load();
        w->resize(1000, 700);
        w->show();
        shown = QTest::qWaitForWindowExposed(w.get());
        box = w->findChild<tw::RichTextBox*>(QStringLiteral("RichTextBox1"));
    }
    ~BenchWindow()
    {
        // The page was changed: closing does not keep it.
        fakes.messages.answer(tw::MsgResult::No);
        w->close();
    }
};

}  // namespace tw::bench
