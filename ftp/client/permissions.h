#pragma once
// The three permission digits of the permission dialog: owner, group and
// all users, each the sum of read (4), write (2) and execute (1).

#include <QString>

namespace tw {

class PermissionDigits {
public:
    enum Class { Owner = 0, Group = 1, Others = 2 };
    // Box 0 stands for 4, box 1 for 2, box 2 for 1.
    static constexpr int kBoxValue[3] = {4, 2, 1};

    // The access column's text: its first three characters read as digits
    // ("644 " and "644" alike; empty gives 000). A shorter number lost its
    // leading zeros ("44" is 044).
    static PermissionDigits fromAccessText(const QString& text);

    int digit(int cls) const { return m_digits[cls]; }
    bool box(int cls, int box) const { return (m_digits[cls] & kBoxValue[box]) != 0; }
    void setBox(int cls, int box, bool on);

    // "644".
    QString text() const;
    // "SITE CHMOD 644 index.html" + CR.
    QString chmodCommand(const QString& name) const;

private:
    int m_digits[3] = {0, 0, 0};
};

}  // namespace tw
