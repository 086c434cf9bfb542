#pragma once
// ＨＴＭＬの骨組み作成: the form of a new page skeleton.

#include "common/platform.h"
#include "editor/builders/pageskeleton.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tw {

class HtmlSet : public QDialog {
    Q_OBJECT
public:
    // panelFolder: where picked style sheets and pictures are made relative to.
    HtmlSet(const PageSkeletonOptions& values, const Platform& platform, const QString& panelFolder,
            QWidget* parent = nullptr);

    PageSkeletonOptions values() const;

private:
    void pickColour(QComboBox* combo);
    void browse(QLineEdit* box, const QString& filter);

    Platform m_platform;
    QString m_panelFolder;
    QLineEdit* m_title;
    QLineEdit* m_css;
    QLineEdit* m_searchWord;
    QLineEdit* m_introduce;
    QLineEdit* m_maker;
    QLineEdit* m_tyosaku;
    QLineEdit* m_mail;
    QLineEdit* m_backPic;
    QComboBox* m_point;
    QComboBox* m_bg;
    QComboBox* m_text;
    QComboBox* m_link;
    QComboBox* m_click;
    QComboBox* m_linkZumi;
    QCheckBox* m_frame;
    QRadioButton* m_kinds[6];
};

}  // namespace tw
