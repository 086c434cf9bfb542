#pragma once
// What a transfer tells the progress window (Frm_State): three captions
// (Lbl 0: the file, Lbl 1: the mode, Lbl 2: the byte counter) and the bar
// (Prog). The window implements this; tests record it.

#include <QString>

namespace tw {

class FtpProgressListener {
public:
    virtual ~FtpProgressListener() = default;
    // Caption of label 0, 1 or 2, or of label 3: the files and bytes of the
    // whole transfer.
    virtual void setLabel(int index, const QString& text) = 0;
    // A transfer starts: the bar is cleared and made visible, nothing drawn.
    virtual void startBar() = 0;
    // Fills the bar to done/total (total > 0, done <= total).
    virtual void drawBar(qint64 done, qint64 total) = 0;
    // Lets pending window events run so the window repaints during a
    // blocking operation. The default runs the Qt event loop once.
    virtual void pumpEvents();
};

// Whole kilobytes, rounded, with thousands separators; "0" for 0.
QString formatKiloBytes(qint64 bytes);

// "1,234KB / 5,678KB": the counter of label 2.
QString formatTransferCounter(qint64 done, qint64 total);

// Label 1 for a resolved mode: "転送モード Ascii" or "転送モード Binary".
QString transferModeCaption(bool ascii);

}  // namespace tw
