#pragma once
// A browser with its row of buttons (back, forward, reload), used by the
// main window's preview area and by the preview window.

#include <QPointF>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;
class QWebEngineView;

namespace tw {

// Settings the browser engine needs before the application object exists:
// running as root it must start without its sandbox.
void prepareBrowserEngine();

class PreviewView : public QWidget {
    Q_OBJECT
public:
    // Without the engine the view is an empty area (tests of other parts).
    PreviewView(bool engine, QWidget* parent = nullptr);

    // Shows a file; the same file again is reloaded. While a page is still
    // loading no new load starts: the latest file asked for is loaded when it
    // has finished, so fast typing never piles up loads. While the view is
    // hidden the file is loaded when it is shown.
    void showFile(const QString& path);
    bool loading() const { return m_loading; }
    int loadsStarted() const { return m_started; }
    int loadsFinished() const { return m_finished; }
    // The browser, started on first use.
    QWebEngineView* browser();
    int buttonRowHeight() const;
    // A line above the page saying why it is not being refreshed; empty hides it.
    void setNotice(const QString& text);
    QString notice() const;
    // True once the browser engine runs (it starts after the window shows).
    bool engineStarted() const { return m_browser != nullptr; }

signals:
    // The refresh button: the owner writes the latest text and shows it. A
    // view nobody listens to reloads its page.
    void refreshRequested();

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QPushButton* GoBackBtn;
    QPushButton* GofowardBtn;
    QPushButton* GoRefreshBtn;
    QWidget* m_buttons;
    QLabel* m_notice;
    QWebEngineView* m_browser = nullptr;
    QVBoxLayout* m_layout = nullptr;
    bool m_engine = false;
    void startLoad(const QString& path);
    // Starts the engine with the waiting page once the window is on the screen.
    void startWhenDrawn();
    bool m_loading = false;
    bool m_startWhenDrawn = false;
    QPointF m_keepScroll;  // where a reloaded page goes back to
    bool m_restoreScroll = false;
    QString m_waiting;  // asked for while loading
    int m_started = 0;
    int m_finished = 0;
};

// The separate preview window: created on first use, reused while open.
class PreviewWindowFrm : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindowFrm(bool engine, QWidget* parent = nullptr);
    // Inner size: the page area width x height plus the button row.
    void showPage(const QString& path, int width, int height);
    PreviewView* view() const { return m_view; }

private:
    PreviewView* m_view;
};

}  // namespace tw
