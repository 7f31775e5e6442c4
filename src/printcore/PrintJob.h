#pragma once

#include "printcore/LabelReport.h"
#include "printcore/NkPrinters.h"

#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QPdfWriter;

// A PDF file of report pages drawn in printer dots, on the paper of the page description,
// titled with the report title. Every print job is such a file handed to CUPS.
class TPdfDocument {
  public:
    // Raises EError when the file cannot be written.
    TPdfDocument(const QString& path, const TPaper& paper, const QString& title);
    ~TPdfDocument();
    TPdfDocument(const TPdfDocument&) = delete;
    TPdfDocument& operator=(const TPdfDocument&) = delete;

    QPainter& Painter();
    void NewPage();
    // Completes the file; raises EError when it could not be written in full.
    void Finish();

  private:
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
};

// The queue a job goes to: the one named (letter case ignored when no name matches exactly),
// else the system's default. Raises ENkPrinterNoPrinter when there is neither.
QString ResolvePrinterName(const QString& wanted, const std::vector<TNkPrinterEntry>& printers);

// The CUPS media name of a paper ("iso_a4_210x297mm", "Custom.100x148mm").
QString MediaName(const TPaper& paper);

// Hands a PDF file to the CUPS queue as one job: all pages, the copies and orientation of the
// settings, one-sided, automatic paper source, the paper's media, title as the job's name.
// Raises EError with CUPS's own message when the job is refused.
void SubmitPrintJob(const QString& pdfPath, const QString& queue, const TPaper& paper,
                    const QString& title, const TJobSettings& job);
