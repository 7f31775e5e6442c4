#include "print/LabelReport.h"

#include "model/LabelPicture.h"
#include "print/PreviewForm.h"
#include "print/PrintJob.h"
#include "print/ReportPages.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTemporaryDir>
#include <optional>

double DisplayPpi() {
    return kLogicalPixelsPerInch;
}

using PageSink = std::function<void(const std::shared_ptr<TReportPages>& pages, int index)>;

class TLabelReport::Impl {
  public:
    explicit Impl(TLabelReport& owner) : q(owner) {}
    ~Impl() { delete preview; }

    std::shared_ptr<TReportPages> Produce(bool forPrinter, const PageSink& sink);
    // A copy for the user is the printer's pages but no print: no after-print event.
    bool PrintJob(const TJobSettings& job, const QString& pdfFile, bool copyOnly = false);
    bool ProduceIntoPreview();
    void WaitForPreview();

    TLabelReport& q;
    QPointer<QWidget> parent;
    QPointer<TPreviewForm> preview;
    bool producing = false;
    bool toPrinter = false;
    int pageNumber = 0;
    int pageCount = 0;
};

namespace {

// Marks a production for its whole length, also when it fails.
class ProductionScope {
  public:
    ProductionScope(bool& producing, bool& toPrinter, int& pageNumber, TPreviewForm* preview,
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
    QPointer<TPreviewForm> preview_;
    bool was_;
};

} // namespace

std::shared_ptr<TReportPages> TLabelReport::Impl::Produce(bool forPrinter, const PageSink& sink) {
    const ProductionScope scope(producing, toPrinter, pageNumber, preview, forPrinter);
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

void TLabelReport::Impl::WaitForPreview() {
    if (!preview || !preview->isVisible())
        return;
    QEventLoop loop;
    QObject::connect(preview, &TPreviewForm::Closed, &loop, &QEventLoop::quit);
    QObject::connect(preview, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
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
        QWidget* owner = d->parent ? d->parent.data() : QApplication::activeModalWidget();
        d->preview = new TPreviewForm(owner);
        // The window beneath, typically the print dialog, is inactive while the preview is up.
        d->preview->setWindowModality(Qt::ApplicationModal);
        d->preview->Job.printerName = Page.printerName;
        d->preview->OnPrint = [this](const TJobSettings& job) { d->PrintJob(job, QString()); };
        d->preview->OnExportPdf = [this](const QString& path) {
            d->PrintJob(d->preview->Job, path, true);
        };
    }
    d->preview->setWindowTitle(Page.title);
    d->preview->showMaximized();
}

void TLabelReport::SetPreviewCloseEnabled(bool enabled) {
    if (d->preview)
        d->preview->SetCloseEnabled(enabled);
}

void TLabelReport::Preview(QWidget* parent) {
    d->parent = parent;
    struct Release {
        Impl& d;
        ~Release() {
            delete d.preview;
            d.preview = nullptr;
        }
    } release{*d};
    if (OnPreview)
        OnPreview();
    if (!d->preview)
        ShowPreview();
    if (d->ProduceIntoPreview())
        d->WaitForPreview();
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
