#pragma once
// The permission dialog: three classes of three boxes and their digits.

#include "ftp/client/permissions.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tw {

class Frm_Pms : public QDialog {
    Q_OBJECT
public:
    // name: the entry as shown in the remote list; access: its access text.
    Frm_Pms(const QString& name, const QString& access, QWidget* parent = nullptr);

    // After OK: the entry's name and the digits + " "; after Cancel both empty.
    QString strFilename() const { return m_filename; }
    QString strPms() const { return m_pms; }
    const PermissionDigits& digits() const { return m_digits; }

private:
    void boxClicked(int cls);
    void showDigits();

    PermissionDigits m_digits;
    QString m_filename;
    QString m_pms;
    QLineEdit* m_name;
    QCheckBox* m_boxes[3][3];
    QLabel* m_digitLabels[3];
};

}  // namespace tw
