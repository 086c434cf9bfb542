#pragma once
// The confirm and cancel buttons the builder dialogs share: only the confirm
// button reacts to Enter.

#include <QPushButton>

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

}  // namespace tw
