#pragma once
// The controls the builder dialogs share: confirm and cancel buttons (only
// the confirm button reacts to Enter), the narrow "..." buttons that pick a
// file or a colour, the combos that take typed text as well as items, and
// the captions of the fields.

#include "common/platform.h"
#include "editor/tags/formatting.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

namespace tw {

inline QPushButton* dialogButton(QWidget* parent, const char* name, const QString& caption, bool isDefault)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    if (isDefault)
        b->setDefault(true);
    else
        b->setAutoDefault(false);
    return b;
}

// The confirm and cancel buttons at the right of a row.
inline QHBoxLayout* buttonRow(QPushButton* confirm, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(confirm);
    row->addWidget(cancel);
    return row;
}

// Closes the dialog as confirmed, or shows why its values cannot be used
// and keeps it open with what the user typed.
inline void acceptUnless(QDialog* dialog, MessageBoxes* messages, const QString& problem)
{
    if (problem.isEmpty())
        dialog->accept();
    else
        messages->show(problem, dialog->windowTitle(), MsgIcon::Warning, MsgButtons::Ok);
}

// accessibleName says what the button picks, for screen readers.
inline QPushButton* dotsButton(QWidget* parent, const char* name, const QString& accessibleName)
{
    auto* b = new QPushButton(QStringLiteral("..."), parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessibleName);
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
    return b;
}

// An editable combo holding items, or a fixed choice of them.
inline QComboBox* itemCombo(QWidget* parent, const char* name, const QStringList& items, bool editable)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(editable);
    if (editable)
        c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    return c;
}

// Runs the colour choice and puts a chosen colour ("#RRGGBB") into the
// combo; a cancelled choice changes nothing.
inline void pickColourInto(ColourDialogs* colours, QComboBox* combo)
{
    if (const auto colour = colours->pick())
        combo->setEditText(QLatin1Char('#') + ColourToHex(*colour));
}

// A caption that names its control, for screen readers and Alt keys.
inline QLabel* buddyLabel(QWidget* parent, const QString& caption, QWidget* buddy)
{
    auto* l = new QLabel(caption, parent);
    l->setBuddy(buddy);
    return l;
}

}  // namespace tw
