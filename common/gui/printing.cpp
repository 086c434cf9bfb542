#include "common/gui/printing.h"

#include <QPrintDialog>
#include <QPrinter>

namespace tw {

bool QtPrintDialogs::choose(QPrinter& printer, bool hasSelection)
{
    QPrintDialog dlg(&printer, m_parent);
    dlg.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    if (hasSelection)
        dlg.setPrintRange(QAbstractPrintDialog::Selection);
    return dlg.exec() == QDialog::Accepted;
}

bool PdfPrintDialogs::choose(QPrinter& printer, bool hasSelection)
{
    ++asked;
    lastHadSelection = hasSelection;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_path);
    return true;
}

}  // namespace tw
