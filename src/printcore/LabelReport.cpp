#include "printcore/LabelReport.h"

#include "model/LabelPicture.h"
#include "platform/Error.h"
#include "platform/SafeFile.h"
#include "printcore/PrintJob.h"
#include "printcore/ReportPages.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <optional>

double DisplayPpi() {
    return kLogicalPixelsPerInch;
}

using PageSink = std::function<void(const std::shared_ptr<TReportPages>& pages, int index)>;

class TLabelReport::Impl {
  public:
    explicit Impl(TLabelReport& owner) : q(owner) {}

    std::shared_ptr<TReportPages> Produce(bool forPrinter, const PageSink& sink);
    // A copy for the user is the printer's pages but no print: no after-print event.
    bool PrintJob(const TJobSettings& job, const QString& pdfFile, bool copyOnly = false);
    bool ProduceIntoPreview();

    TLabelReport& q;
    std::unique_ptr<IReportPreview> preview;
    bool producing = false;
    bool toPrinter = false;
    int pageNumber = 0;
    int pageCount = 0;
};

namespace {

// Marks a production for its whole length, also when it fails.
class ProductionScope {
  public:
    ProductionScope(bool& producing, bool& toPrinter, int& pageNumber, IReportPreview* preview,
                    bool forPrinter)
        : producing_(producing), toPrinter_(toPrinter), pageNumber_(pageNumber), preview_(preview),
          was_(producing) {
        producing_ = true;
        toPrinter_ = forPrinter;
        if (preview_)
            preview_->SetProducing(true);
    }
    ~ProductionScope() {
        producing_ = was_;
        toPrinter_ = false;
        pageNumber_ = 0;
        if (preview_)
            preview_->SetProducing(false);
    }
    ProductionScope(const ProductionScope&) = delete;
    ProductionScope& operator=(const ProductionScope&) = delete;

  private:
    bool& producing_;
    bool& toPrinter_;
    int& pageNumber_;
    IReportPreview* preview_;
    bool was_;
};

} // namespace

std::shared_ptr<TReportPages> TLabelReport::Impl::Produce(bool forPrinter, const PageSink& sink) {
    const ProductionScope scope(producing, toPrinter, pageNumber, preview.get(), forPrinter);
    pageCount = 0;
    bool printReport = true;
    if (q.OnBeforePrint)
        q.OnBeforePrint(printReport);
    if (!printReport)
        return nullptr;
    auto pages = std::make_shared<TReportPages>(q.Page, q.Rows, DisplayPpi());
    for (int i = 0; i < pages->Count(); ++i) {
        pageNumber = i + 1;
        if (q.OnStartPage)
            q.OnStartPage();
        sink(pages, i);
        if (q.OnEndPage)
            q.OnEndPage();
    }
    pageCount = pages->Count();
    return pages;
}

bool TLabelReport::Impl::PrintJob(const TJobSettings& job, const QString& pdfFile, bool copyOnly) {
    const bool toQueue = pdfFile.isEmpty();
    const QString queue =
        toQueue ? ResolvePrinterName(job.printerName, CupsPrinterSource()->Enumerate()) : QString();
    QTemporaryDir spool;
    if (toQueue && !spool.isValid())
        throw EWriteFailed(TPdfDocument::FailureText(), spool.path(), spool.errorString());
    const QString path = toQueue ? spool.filePath(QStringLiteral("labels.pdf")) : pdfFile;
    std::optional<TPdfDocument> pdf;
    const auto pages = Produce(true, [&](const std::shared_ptr<TReportPages>& produced, int index) {
        if (pdf)
            pdf->NewPage();
        else
            pdf.emplace(path, produced->Page().paper, produced->Page().title);
        produced->DrawPage(pdf->Painter(), index);
    });
    if (!pages)
        return false;
    pdf->Finish();
    if (toQueue)
        SubmitPrintJob(path, queue, pages->Page().paper, pages->Page().title, job);
    if (q.OnAfterPrint && !copyOnly)
        q.OnAfterPrint();
    return true;
}

bool TLabelReport::Impl::ProduceIntoPreview() {
    const auto pages =
        Produce(false, [this](const std::shared_ptr<TReportPages>& produced, int index) {
            if (!preview)
                return;
            if (index == 0)
                preview->SetPages(produced);
            preview->SetProducedPages(index + 1);
        });
    return pages != nullptr;
}

TLabelReport::TLabelReport() : d(std::make_unique<Impl>(*this)) {}

TLabelReport::~TLabelReport() = default;

bool TLabelReport::PrintingToPrinter() const {
    return d->producing && d->toPrinter;
}

int TLabelReport::PageNumber() const {
    return d->pageNumber;
}

int TLabelReport::PageCount() const {
    return d->pageCount;
}

void TLabelReport::ShowPreview() {
    if (!d->preview) {
        if (!PreviewFactory)
            throw EError(QStringLiteral("プレビューを表示できません。"));
        d->preview = PreviewFactory(
            Page.printerName, [this](const TJobSettings& job) { d->PrintJob(job, QString()); },
            [this](const QString& path) { d->PrintJob(TJobSettings{}, path, true); });
    }
    d->preview->Show(Page.title);
}

void TLabelReport::SetPreviewCloseEnabled(bool enabled) {
    if (d->preview)
        d->preview->SetCloseEnabled(enabled);
}

void TLabelReport::Preview() {
    const auto release = qScopeGuard([this] { d->preview.reset(); });
    if (OnPreview)
        OnPreview();
    if (!d->preview)
        ShowPreview();
    if (d->ProduceIntoPreview())
        d->preview->WaitUntilClosed();
}

bool TLabelReport::Print() {
    TJobSettings job;
    job.printerName = Page.printerName;
    return d->PrintJob(job, QString());
}

bool TLabelReport::PrintToFile(const QString& pdfPath) {
    TJobSettings job;
    job.printerName = Page.printerName;
    return d->PrintJob(job, pdfPath);
}
