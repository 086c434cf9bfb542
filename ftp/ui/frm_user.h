#pragma once
// The connection profile dialog: the profiles of User.ini, and the fields of
// the one being added or overwritten.

#include "common/platform.h"
#include "ftp/settings/profiles.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tw {

class Frm_User : public QDialog {
    Q_OBJECT
public:
    // profile: the program's current profile, changed by a click in the list
    // (which stays so even after キャンセル) and by 追加.
    Frm_User(ConnectionProfile& profile, const FtpSettingFiles& files, const Platform& platform,
             QWidget* parent = nullptr);

    QLineEdit* field(int index) const { return m_txt[index]; }
    QListWidget* list() const { return m_list; }
    QComboBox* protocolBox() const { return m_protocol; }
    QLineEdit* keyFileField() const { return m_keyFile; }

private:
    void fillFields();
    void listClicked(int row);
    void add();
    void clearFields();
    void newProfile();
    void deleteProfile();

    ConnectionProfile& m_profile;
    FtpSettingFiles m_files;
    Platform m_platform;
    void protocolChanged(int index);
    void chooseKeyFile();

    QLineEdit* m_txt[4];
    QComboBox* m_protocol;
    QLineEdit* m_keyFile;
    QPushButton* m_keyButton;
    QListWidget* m_list;
};

}  // namespace tw
