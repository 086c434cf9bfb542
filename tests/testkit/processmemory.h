#pragma once
// The memory a process and everything it started hold: the resident sizes
// of the process and of all its descendants (the browser engine's helper
// processes among them), from /proc.

#include <QtGlobal>

namespace tw::test {

// Bytes; 0 when /proc cannot be read.
qint64 processTreeResidentBytes(qint64 pid);
// The same for this process, without it: what its children hold.
qint64 childrenResidentBytes();

}  // namespace tw::test
