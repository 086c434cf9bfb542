#include "editor/preview/ui/previewview.h"

#include <utility>

#include "editor/preview/preview.h"
#include "common/gui/icons.h"
#include "common/gui/units.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QLabel>
#include <QMetaMethod>
#include <QTimer>
#include <QWebEnginePage>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>

#include <unistd.h>

namespace tw {

void prepareBrowserEngine()
{
    // The engine refuses to start its sandbox as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The preview shows pages as they are written, which needs no graphics
    // card: the engine draws in software, so the editor loads no OpenGL
    // driver (with a software driver that alone holds some 50 MB). A user
    // who sets either variable keeps their choice.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

PreviewView::PreviewView(bool engine, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("WebBrowser1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_buttons = new QWidget(this);
    auto* row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    auto makeButton = [this, row](const char* name, const char* icon, const QString& tip) {
        auto* b = new QPushButton(m_buttons);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(toolIcon(QString::fromLatin1(icon)));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        // 495 x 255 twips each.
        b->setFixedSize(twipsToPixels(495, this), std::max(twipsToPixels(255, this), 22));
        row->addWidget(b);
        return b;
    };
    GoBackBtn = makeButton("GoBackBtn", "go-previous", QStringLiteral("戻る"));
    GofowardBtn = makeButton("GofowardBtn", "go-next", QStringLiteral("進む"));
    GoRefreshBtn = makeButton("GoRefreshBtn", "view-refresh", QStringLiteral("更新"));
    row->addStretch(1);
    layout->addWidget(m_buttons);

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("PreviewNotice"));
    m_notice->setWordWrap(true);
    m_notice->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; color: #5c4400; padding: 4px; }"));
    m_notice->hide();
    layout->addWidget(m_notice);

    connect(GoRefreshBtn, &QPushButton::clicked, this, [this] {
        if (isSignalConnected(QMetaMethod::fromSignal(&PreviewView::refreshRequested)))
            emit refreshRequested();
        else if (m_browser)
            m_browser->reload();
    });

    // The browser engine starts when the first page is shown, and only once
    // the window is drawn: until then it costs neither start-up time nor memory.
    m_engine = engine;
    m_layout = layout;
    layout->addStretch(1);
}

QWebEngineView* PreviewView::browser()
{
    if (m_browser || !m_engine)
        return m_browser;
    m_browser = new QWebEngineView(this);
    m_browser->setObjectName(QStringLiteral("Browser"));
    m_browser->setAccessibleName(QStringLiteral("プレビュー"));
    delete m_layout->takeAt(m_layout->count() - 1);  // the stretch that held its place
    m_layout->addWidget(m_browser, 1);
    // Steps that are not possible (empty history) do nothing.
    connect(GoBackBtn, &QPushButton::clicked, m_browser, &QWebEngineView::back);
    connect(GofowardBtn, &QPushButton::clicked, m_browser, &QWebEngineView::forward);
    connect(m_browser, &QWebEngineView::loadFinished, this, [this] {
        ++m_finished;
        m_loading = false;
        // A page shown again stays where the user had scrolled it.
        if (std::exchange(m_restoreScroll, false) && !m_keepScroll.isNull())
            m_browser->page()->runJavaScript(
                QStringLiteral("window.scrollTo(%1, %2);").arg(m_keepScroll.x()).arg(m_keepScroll.y()));
        if (!m_waiting.isEmpty() && isVisible())
            startLoad(std::exchange(m_waiting, QString()));
    });
    return m_browser;
}

void PreviewView::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // A page asked for while the view was hidden is loaded now.
    if (!m_waiting.isEmpty() && !m_loading && m_engine) {
        if (m_browser)
            startLoad(std::exchange(m_waiting, QString()));
        else
            startWhenDrawn();
    }
}

void PreviewView::paintEvent(QPaintEvent* e)
{
    QWidget::paintEvent(e);
    if (!m_startWhenDrawn)
        return;
    m_startWhenDrawn = false;
    // After this frame is on the screen: starting the engine takes a while.
    QTimer::singleShot(0, this, [this] {
        if (!m_waiting.isEmpty() && !m_loading && isVisible())
            startLoad(std::exchange(m_waiting, QString()));
    });
}

void PreviewView::startWhenDrawn()
{
    m_startWhenDrawn = true;
    update();
}

void PreviewView::showFile(const QString& path)
{
    if (!m_engine)
        return;
    if (m_loading || !isVisible()) {
        m_waiting = path;
        return;
    }
    if (!m_browser) {
        m_waiting = path;
        startWhenDrawn();
        return;
    }
    startLoad(path);
}

void PreviewView::startLoad(const QString& path)
{
    QWebEngineView* view = browser();
    m_loading = true;
    ++m_started;
    const QUrl url = QUrl::fromLocalFile(path);
    if (view->url() == url) {
        m_keepScroll = view->page()->scrollPosition();
        m_restoreScroll = true;
        view->reload();
    } else {
        m_restoreScroll = false;
        view->load(url);
    }
}

void PreviewView::setNotice(const QString& text)
{
    m_notice->setText(text);
    m_notice->setVisible(!text.isEmpty());
}

QString PreviewView::notice() const
{
    return m_notice->text();
}

int PreviewView::buttonRowHeight() const
{
    return m_buttons->sizeHint().height();
}

PreviewWindowFrm::PreviewWindowFrm(bool engine, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_view(new PreviewView(engine, this))
{
    setObjectName(QStringLiteral("PreviewWindowFrm"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

void PreviewWindowFrm::showPage(const QString& path, int width, int height)
{
    // A size typed in the options may be negative or larger than any screen.
    QSize page(std::max(width, 100), std::max(height, 100));
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        page = page.boundedTo(s->availableGeometry().size() - QSize(0, m_view->buttonRowHeight()));
    resize(page.width(), page.height() + m_view->buttonRowHeight());
    m_view->showFile(path);
    setWindowTitle(previewWindowCaption(width, height));
    show();
    raise();
}

}  // namespace tw
