#pragma once

#include "model/PageDescription.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TReportPages;
struct MergeList;

// One label cell's content.
struct TPrintRow {
    // The stored label text (RTF or plain Shift-JIS); null draws nothing.
    QByteArray cardText;
    // Decoded once by the caller and shared by every row that shows it; null draws nothing
    // (or a white rectangle when stretched).
    std::shared_ptr<const QImage> picture;
    // The merge list row (an index into its rows) whose values fill the text's merge fields;
    // without a list the text prints as stored.
    std::shared_ptr<const MergeList> merge = nullptr;
    int mergeRow = -1;
};

// What the preview's printer setup may change for one job.
struct TJobSettings {
    QString printerName;
    int copies = 1;
    bool landscape = false;
};

// The preview window as the facility drives it; the windows provide it.
class IReportPreview {
  public:
    virtual ~IReportPreview() = default;
    // Shows the window maximised at zoom to fit, the title as its caption.
    virtual void Show(const QString& title) = 0;
    // The pages of the current production; they become visible as they are produced.
    virtual void SetPages(std::shared_ptr<TReportPages> pages) = 0;
    virtual void SetProducedPages(int count) = 0;
    virtual void SetProducing(bool producing) = 0;
    virtual void SetCloseEnabled(bool enabled) = 0;
    // Returns when the window has been closed.
    virtual void WaitUntilClosed() = 0;
};

// Makes a report's preview: the printer its jobs go to at first, what its print does, and how it
// writes its PDF copy (the printer's pages, into that file).
using TPreviewFactory = std::function<std::unique_ptr<IReportPreview>(
    const QString& printerName, std::function<void(const TJobSettings& job)> print,
    std::function<void(const QString& pdfPath)> exportPdf)>;

// The logical resolution at which picture placements and natural picture sizes are counted: the
// picture window's pixels, 96 per inch.
double DisplayPpi();

// The page-layout facility: flows the rows into label cells on pages, draws them, previews and
// prints them. Each production (preview, printer, file) runs the events anew:
// before-print (may cancel), then start and end of every page; after-print only when a print
// document has been handed over in full.
class TLabelReport {
  public:
    TLabelReport();
    ~TLabelReport();
    TLabelReport(const TLabelReport&) = delete;
    TLabelReport& operator=(const TLabelReport&) = delete;

    TPageDescription Page;
    std::vector<TPrintRow> Rows;

    // Clearing the flag cancels the production: no pages.
    std::function<void(bool& printReport)> OnBeforePrint;
    std::function<void()> OnStartPage;
    std::function<void()> OnEndPage;
    // Raised when the preview is to be shown; the handler calls ShowPreview (without a handler
    // the facility does so itself). The pages are produced into the shown window afterwards.
    std::function<void()> OnPreview;
    std::function<void()> OnAfterPrint;
    // Where the preview comes from; without one there is no preview.
    TPreviewFactory PreviewFactory;

    // True while pages are being produced for a printer or a print file.
    bool PrintingToPrinter() const;
    // The page being produced, from 1; 0 outside production.
    int PageNumber() const;
    // Pages of the last production.
    int PageCount() const;

    // Shows the preview and returns when its window has been closed.
    void Preview();
    // Creates and shows the standard preview window (maximised, zoom to fit, caption Page.title).
    void ShowPreview();
    // The preview's close button (title bar and toolbar).
    void SetPreviewCloseEnabled(bool enabled);

    // Produces the pages for Page.printerName and hands them to the printing system. False
    // when the before-print event cancelled; the printing system's failure is thrown as EError.
    bool Print();
    // The same production written to a PDF file instead of a queue.
    bool PrintToFile(const QString& pdfPath);

  private:
    class Impl;
    std::unique_ptr<Impl> d;
};
