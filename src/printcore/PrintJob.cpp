#include "printcore/PrintJob.h"

#include "platform/Error.h"
#include "platform/SafeFile.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cups/cups.h>

namespace {

constexpr int kPdfResolution = 1200;

// The standard papers under the printing system's own names; any other size is its own.
const PaperPreset* StandardPreset(const TPaper& paper) {
    for (const PaperPreset& p : PaperPresets())
        if (p.code == paper.code && p.code != TPaper::Custom)
            return &p;
    return nullptr;
}

QPageSize PageSizeOf(const TPaper& paper) {
    if (const PaperPreset* preset = StandardPreset(paper))
        return QPageSize(preset->pageSize);
    return QPageSize(QSizeF(paper.widthTenthMm / 10.0, paper.lengthTenthMm / 10.0),
                     QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

QString Millimetres(int tenthMm) {
    return QString::number(tenthMm / 10.0, 'f', tenthMm % 10 == 0 ? 0 : 1);
}

// cupsAddOption's list, freed in every case.
class CupsOptions {
  public:
    ~CupsOptions() { cupsFreeOptions(count_, options_); }
    void Add(const char* name, const QString& value) {
        count_ = cupsAddOption(name, value.toUtf8().constData(), count_, &options_);
    }
    int Count() const { return count_; }
    cups_option_t* Options() const { return options_; }

  private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

// What the queue says about its state ("printer-state-message"), often why it refuses jobs.
QString QueueStateMessage(const QString& queue) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.toUtf8().constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-message");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response)
        return {};
    ipp_attribute_t* attr = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
    const QString message = attr ? QString::fromUtf8(ippGetString(attr, 0, nullptr)) : QString();
    ippDelete(response);
    return message.trimmed();
}

QString JobRefusedMessage(const QString& queue) {
    if (cupsLastError() != IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return QString::fromUtf8(cupsLastErrorString());
    const QString reason = QueueStateMessage(queue);
    const QString text =
        QStringLiteral("プリンタ「%1」は現在印刷を受け付けていません。").arg(queue);
    return reason.isEmpty() ? text : text + QStringLiteral("\n理由：") + reason;
}

} // namespace

TPdfDocument::TPdfDocument(const QString& path, const TPaper& paper, const QString& title)
    : file_(std::make_unique<TSafeFile>(path)), painter_(std::make_unique<QPainter>()) {
    file_->Open(FailureText());
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setResolution(kPdfResolution);
    writer_->setPageSize(PageSizeOf(paper));
    writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("Tavrel"));
    if (!painter_->begin(writer_.get()))
        throw EError(FailureText());
}

TPdfDocument::~TPdfDocument() {
    if (painter_->isActive())
        painter_->end();
}

QPainter& TPdfDocument::Painter() {
    return *painter_;
}

void TPdfDocument::NewPage() {
    writer_->newPage();
}

void TPdfDocument::Finish() {
    if (!painter_->end())
        throw EError(FailureText());
    file_->Commit();
}

std::optional<TPdfRefusal> RefusePdfTarget(const QString& path, const QString& database,
                                           const QString& settingsFile) {
    if (SameFile(path, database))
        return TPdfRefusal{QStringLiteral("データベースファイルには出力できません"),
                           QStringLiteral("the file is the database")};
    if (SameFile(path, settingsFile))
        return TPdfRefusal{QStringLiteral("設定ファイルには出力できません"),
                           QStringLiteral("the file is the settings file")};
    if (ForeignFile(path, QByteArrayLiteral("%PDF-")))
        return TPdfRefusal{QStringLiteral("PDF ではないファイルには上書きできません"),
                           QStringLiteral("an existing file that is not a PDF")};
    return std::nullopt;
}

QString ResolvePrinterName(const QString& wanted, const std::vector<TNkPrinterEntry>& printers) {
    QStringList names;
    for (const TNkPrinterEntry& p : printers)
        names << p.name;
    if (const QString listed = FindPrinterName(names, wanted); !listed.isEmpty())
        return listed;
    for (const TNkPrinterEntry& p : printers) {
        if (p.attributes & NkPrinterAttributeDefault)
            return p.name;
    }
    throw ENkPrinterNoPrinter();
}

QString MediaName(const TPaper& paper) {
    if (const PaperPreset* preset = StandardPreset(paper))
        return preset->media;
    return QStringLiteral("Custom.%1x%2mm")
        .arg(Millimetres(paper.widthTenthMm), Millimetres(paper.lengthTenthMm));
}

void SubmitPrintJob(const QString& pdfPath, const QString& queue, const TPaper& paper,
                    const QString& title, const TJobSettings& job) {
    CupsOptions options;
    options.Add("copies", QString::number(std::max(1, job.copies)));
    options.Add("sides", QStringLiteral("one-sided"));
    options.Add("orientation-requested", job.landscape ? QStringLiteral("4") : QStringLiteral("3"));
    options.Add("media", MediaName(paper));
    options.Add("media-source", QStringLiteral("auto"));
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(),
                                  pdfPath.toLocal8Bit().constData(), title.toUtf8().constData(),
                                  options.Count(), options.Options());
    if (id == 0)
        throw EError(JobRefusedMessage(queue));
}
