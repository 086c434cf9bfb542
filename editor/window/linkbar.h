#pragma once
// The link bar: the file used for links and images (LinkFileNameTxt with its
// "..." button), the picture buttons that insert a link, anchor, mail link,
// image or the bare name from it, the address encoder button, and the
// welcome banner.

#include "editor/builders/links.h"

#include <QToolBar>

class QLineEdit;
class QPushButton;

namespace tw {

class LinkBar : public QToolBar {
    Q_OBJECT
public:
    explicit LinkBar(QWidget* parent = nullptr);

    QString fileName() const;
    void setFileName(const QString& name);
    // Its width rule in twips, from the window's inner width.
    void fitTo(double innerWidthTwips);

signals:
    void chooseFileClicked();                      // FileSelectBtn
    void encodeClicked();                          // AngouBtn
    void insertClicked(tw::LinkBarButton button);  // LinkBtn .. ThrowBtn

private:
    QLineEdit* m_file;
    QPushButton* m_choose;
};

}  // namespace tw
