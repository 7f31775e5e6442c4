#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
struct MergeList;

// A paper by the printer's paper code, its size in tenth-millimetres; always portrait.
struct TPaper {
    static constexpr int A3 = 8;
    static constexpr int A4 = 9;
    static constexpr int A5 = 11;
    static constexpr int B4 = 12;
    static constexpr int B5 = 13;
    static constexpr int Custom = 256;

    int code = A4;
    int widthTenthMm = 2100;
    int lengthTenthMm = 2970;

    // One of the standard papers above; any other code gives A4.
    static TPaper Standard(int code);
    static TPaper CustomSize(int widthTenthMm, int lengthTenthMm);
};

// What a page looks like. Lengths are millimetres; element rectangles are measured from the
// label cell's top-left corner.
struct TPageDescription {
    TPaper paper;
    double leftMargin = 0;
    double rightMargin = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    int columns = 1;
    double columnSpacing = 0;

    // The label cell, printed once per row: white background, dotted frame.
    double bandHeight = 0;
    double bandWidth = 0;
    QColor frameColor = Qt::black;

    QRectF textRect;
    QRectF pictureRect;
    bool pictureStretch = false;
    bool picturePrinted = true;
    // Merged labels leave out a line whose fields all came out empty and that has no other text.
    bool dropBlankLines = true;

    // Preview caption and the print job's document name.
    QString title;
    // A name the printing system does not know (or an empty one) prints to its default printer.
    QString printerName;
};

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

    // True while pages are being produced for a printer or a print file.
    bool PrintingToPrinter() const;
    // The page being produced, from 1; 0 outside production.
    int PageNumber() const;
    // Pages of the last production.
    int PageCount() const;

    // Shows the preview and returns when its window has been closed.
    void Preview(QWidget* parent = nullptr);
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
