#pragma once
// The question put when a server's certificate does not verify, or when an
// SFTP server shows a host key not seen before: what it is, and 今回だけ /
// 常に / 接続しない.

#include "ftp/session/security.h"

#include <QDialog>

namespace tw {

class Frm_Trust : public QDialog {
    Q_OBJECT
public:
    explicit Frm_Trust(const PeerIdentity& peer, QWidget* parent = nullptr);
    // Refuse unless a button other than 接続しない was pressed.
    TrustAnswer answer() const { return m_answer; }

private:
    TrustAnswer m_answer = TrustAnswer::Refuse;
};

}  // namespace tw
