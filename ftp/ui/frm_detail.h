#pragma once
// 詳細設定: the extensions automatic mode sends as ASCII, and whether lists
// are patched in place after an operation (ListCache).

#include "common/platform.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace tw {

struct DetailChoices {
    QStringList extensions;
    bool listCache = true;
};

class Frm_Detail : public QDialog {
    Q_OBJECT
public:
    Frm_Detail(const DetailChoices& initial, const Platform& platform, QWidget* parent = nullptr);

    // What the controls hold (after OK: what was chosen).
    DetailChoices choices() const;

private:
    void addExtension();
    void removeExtension();
    void restoreDefaults();
    void fillList(const QStringList& extensions);

    Platform m_platform;
    QListWidget* m_list;
    QLineEdit* m_ext;
    QCheckBox* m_listCache;
};

}  // namespace tw
