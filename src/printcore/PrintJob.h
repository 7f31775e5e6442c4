#pragma once

#include "printcore/LabelReport.h"
#include "printcore/NkPrinters.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QPdfWriter;
class TSafeFile;

// A PDF file of report pages drawn in printer dots, on the paper of the page description,
// titled with the report title. Every print job is such a file handed to CUPS.
class TPdfDocument {
  public:
    // The file is written safely (see TSafeFile): a failure leaves what was at path before.
    // Raises EWriteFailed when the file cannot be written.
    TPdfDocument(const QString& path, const TPaper& paper, const QString& title);
    ~TPdfDocument();
    TPdfDocument(const TPdfDocument&) = delete;
    TPdfDocument& operator=(const TPdfDocument&) = delete;

    QPainter& Painter();
    void NewPage();
    // Completes the file; raises EWriteFailed when it could not be written in full.
    void Finish();

    static QString FailureText() { return QStringLiteral("印刷ファイルを作成できません。"); }

  private:
    std::unique_ptr<TSafeFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
};

// Why a PDF must not be written at a path: it is the database, the settings file, or an existing
// file that is not a PDF. Japanese first, the English beside it.
struct TPdfRefusal {
    QString japanese;
    QString english;
};
std::optional<TPdfRefusal> RefusePdfTarget(const QString& path, const QString& database,
                                           const QString& settingsFile);

// The queue a job goes to: the one named (letter case ignored when no name matches exactly),
// else the system's default. Raises ENkPrinterNoPrinter when there is neither.
QString ResolvePrinterName(const QString& wanted, const std::vector<TNkPrinterEntry>& printers);

// The CUPS media name of a paper ("iso_a4_210x297mm", "Custom.100x148mm").
QString MediaName(const TPaper& paper);

// Hands a PDF file to the CUPS queue as one job: all pages, the copies and orientation of the
// settings, one-sided, automatic paper source, the paper's media, title as the job's name.
// Raises EError when the job is refused: for a queue that does not accept jobs in the user's
// language with the reason the queue gives, otherwise with CUPS's own message.
void SubmitPrintJob(const QString& pdfPath, const QString& queue, const TPaper& paper,
                    const QString& title, const TJobSettings& job);
