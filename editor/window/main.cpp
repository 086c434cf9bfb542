// Quillet, the HTML source editor.

#include "common/appfolder.h"
#include "editor/window/mainfrm.h"
#include "editor/preview/ui/previewview.h"
#include "common/gui/icons.h"
#include "common/gui/printing.h"
#include "common/gui/qtplatform.h"
#include "editor/window/singleinstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

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

    // An editor already running takes the document and comes to the front.
    const QString instanceName = tw::SingleInstance::defaultName();
    if (tw::SingleInstance::sendToRunning(instanceName, ctx.commandLine))
        return 0;

    ctx.splashMs = 500;
    tw::QtPrintDialogs printDialogs;
    ctx.printDialogs = &printDialogs;
    tw::setUpIcons(QStringLiteral("tagwright-quillet"));

    tw::MainFrm w(ctx);
    qt.setParent(&w);
    printDialogs.setParent(&w);
    w.load();
    w.show();
    tw::SingleInstance instance(instanceName);
    instance.onOpen = [&w](const QString& path) { w.openFromOtherStart(path); };
    instance.listen();
    // Last of the start: the version check, once the window is up.
    QTimer::singleShot(0, &w, [&w] { w.session().checkVersionAtStart(); });
    return app.exec();
}
