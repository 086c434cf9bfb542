#pragma once
// The editor's real main window for a benchmark, as the tests open it: its
// own application folder with the given quillet.ini, scripted dialogs, shown
// at 1000 x 700; closing throws the changed page away.

#include "tests/testkit/editorfixture.h"

namespace tw::bench {

struct BenchWindow : tw::test::EditorFixture {
    const tw::test::TempAppFolder& folder = app;
    tw::RichTextBox* box = nullptr;

    explicit BenchWindow(const QByteArray& ini, bool browserEngine = false)
        : EditorFixture(ini, {.size = QSize(1000, 700), .waitExposed = true, .browserEngine = browserEngine})
    {
        box = EditorFixture::box();
    }
    ~BenchWindow() { discardAndClose(); }
};

}  // namespace tw::bench
