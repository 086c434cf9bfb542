#pragma once
// テーブルの挿入: rows and cells of an empty table, its width, border,
// alignment and background colour.

#include "common/platform.h"
#include "editor/builders/table.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tw {

class TableFrm : public QDialog {
    Q_OBJECT
public:
    TableFrm(const TableOptions& values, const Platform& platform, QWidget* parent = nullptr);

    TableOptions values() const;

private:
    void insert();

    Platform m_platform;
    QLineEdit* m_rows;
    QLineEdit* m_columns;
    QLineEdit* m_width;
    QComboBox* m_widthUnit;
    QLineEdit* m_border;
    QComboBox* m_align;
    QComboBox* m_colour;
};

}  // namespace tw
