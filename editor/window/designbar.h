#pragma once
// The left column of the main window: the font setter (Frame1) above the
// file panel (Frame3).

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tw {

class DesignBar : public QWidget {
    Q_OBJECT
public:
    explicit DesignBar(QWidget* parent = nullptr);

    // The file panel shows this folder's files that match the applied pattern.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }
    // Takes Text5's text as the pattern and lists the folder again.
    void applyPattern();
    void refresh();
    QStringList listedFiles() const;
    // The highlighted entry: the document's file when it is listed, else none.
    void setCurrentFile(const QString& name);
    QString highlightedFile() const;
    // Command5's chosen colour into FColor.
    void setColourText(const QString& colour);

signals:
    void fileClicked(const QString& name);
    void folderMenuRequested(const QPoint& globalPos);
    void changeFolderClicked();                                      // Command1
    void colourPickClicked();                                        // Command5
    void fontRequested(const QString& size, const QString& colour);  // Command2

private:
    QGroupBox* Frame1;
    QComboBox* FSize;
    QComboBox* FColor;
    QPushButton* Command5;
    QPushButton* Command2;

    QGroupBox* Frame3;
    QListWidget* File1;
    QLineEdit* Text5;
    QPushButton* Command1;
    QPushButton* Command4;

    QString m_folder;
    QString m_pattern;
    QString m_current;
};

}  // namespace tw
