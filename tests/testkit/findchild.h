#pragma once
// A window's control by its name; a missing one stops the test at once
// instead of crashing somewhere later.

#include <QObject>
#include <QString>

namespace tw::test {

template <typename T>
T* childOf(const QObject* parent, const char* name)
{
    T* c = parent->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

}  // namespace tw::test
