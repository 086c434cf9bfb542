#pragma once
// The stored form of a profile's password (User.ini "PassWord"). It hides
// the password from a glance, nothing more: it is not encryption, which is
// why User.ini is kept readable by its owner only.
//
// Each byte of the password's CP932 form is written as three decimal digits
// followed by three filler characters ("a" -> "097" + 3 fillers). A password
// whose CP932 form does not read back as the same text is stored as UTF-8
// behind the bytes EF BB BF.

#include <QString>

namespace tw {

QString EncodePassword(const QString& plain);

// The password, or an empty text when the stored text is not a sequence of
// six-character groups starting with three digits of a byte value.
QString DecodePassword(const QString& encoded);

}  // namespace tw
