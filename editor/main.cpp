// Quillet, the HTML source editor.

#include "common/appfolder.h"
#include "editor/shell/ui/mainfrm.h"
#include "editor/preview/ui/previewview.h"
#include "common/gui/qtplatform.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv)
{
    tw::prepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    tw::installJapaneseTranslations(app);

    tw::QtPlatform qt;
    tw::QuilletContext ctx;
    ctx.platform = qt.platform();
    ctx.appFolder = tw::appFolder();
    // The whole command line names one document.
    ctx.commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    // A name relative to the shell's folder still means that file.
    if (!ctx.commandLine.isEmpty())
        ctx.commandLine = QFileInfo(ctx.commandLine).absoluteFilePath();

    tw::MainFrm w(ctx);
    qt.setParent(&w);
    w.load();
    w.show();
    return app.exec();
}
