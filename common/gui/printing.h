#pragma once
// Choosing a printer: the print dialog on screen, or a PDF file without
// asking (tests, and printing to a file).

#include <QString>

class QPrinter;
class QWidget;

namespace tw {

class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    // Sets up printer; false when the user cancelled. With a selection the
    // choice "selection" is offered and preselected.
    virtual bool choose(QPrinter& printer, bool hasSelection) = 0;
};

class QtPrintDialogs : public PrintDialogs {
public:
    explicit QtPrintDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    bool choose(QPrinter& printer, bool hasSelection) override;

private:
    QWidget* m_parent;
};

class PdfPrintDialogs : public PrintDialogs {
public:
    explicit PdfPrintDialogs(const QString& pdfPath) : m_path(pdfPath) {}
    bool choose(QPrinter& printer, bool hasSelection) override;
    int asked = 0;
    bool lastHadSelection = false;

private:
    QString m_path;
};

}  // namespace tw
