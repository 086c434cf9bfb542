// Snipport: converts the version 1 snippet file in the program's own folder.
// No main window; message boxes only.

#include "snipport/convert.h"
#include "common/gui/qtplatform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tw::installJapaneseTranslations(app);
    tw::QtMessageBoxes boxes;
    switch (tw::runSnipport(QCoreApplication::applicationDirPath(), &boxes)) {
        case tw::SnipportOutcome::Declined:
        case tw::SnipportOutcome::CreatedDefaults:
        case tw::SnipportOutcome::Converted:
            return 0;
        default:
            return 1;
    }
}
