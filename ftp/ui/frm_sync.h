#pragma once
// The list of what 変更分をアップロード will send, shown before anything
// goes: the files, their total size, and the option (off, with its own
// confirmation) to delete server files that are gone locally.

#include "common/platform.h"
#include "ftp/client/operations.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTreeWidget;

namespace tw {

class Frm_Sync : public QDialog {
    Q_OBJECT
public:
    Frm_Sync(const SyncPlan& plan, const Platform& platform, QWidget* parent = nullptr);

    bool deleteExtra() const;
    QTreeWidget* list() const { return m_list; }
    QCheckBox* deleteBox() const { return m_delete; }
    QPushButton* okButton() const { return m_ok; }

private:
    void deleteToggled(bool on);

    const SyncPlan& m_plan;
    Platform m_platform;
    QTreeWidget* m_list;
    QCheckBox* m_delete;
    QPushButton* m_ok;
};

}  // namespace tw
