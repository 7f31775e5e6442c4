#pragma once

#include "data/Query.h"
#include "model/CardLayout.h"
#include "printcore/LabelReport.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

struct MergeList;
class QTextDocument;

// Printing with a merge list: one label per row from FirstRow to LastRow (indexes into the
// list's rows, both included), Copies labels each, instead of Count copies of the design.
struct TMergeParams {
    std::shared_ptr<const MergeList> List; // null: no merge
    int FirstRow = 0;
    int LastRow = -1;
    int Copies = 1;
    bool DropBlankLines = true;

    static constexpr int kMaxCopies = 99;
    // Labels of one run; more is refused before anything is produced.
    static constexpr int kMaxLabels = 1000000;
    // The labels of the run: rows × copies; 0 without a list.
    long long Labels() const;
};

// A merge refused before anything is produced: the list and the design do not fit together.
class EMergeRefused : public EError {
  public:
    using EError::EError;
};

// A print refused before anything is produced: a barcode cannot encode its data.
class EBarcodeRefused : public EError {
  public:
    using EError::EError;
};

// What the print dialog hands to a print run. The corrections are tenth-millimetres.
struct TPrintParams {
    QString PrinterName;
    QString PaperName;
    QString PaperType;
    int TopAdjust = 0;
    int LeftAdjust = 0;
    int Count = 1;
    int StartColumn = 1;
    int StartRow = 1;
    int Dan = 1;
    int Retsu = 1;
    // Lengths in the stored tenth-millimetres rather than whole millimetres.
    bool Exact = false;
    FillOrder Order = FillOrder::Columns;
    TMergeParams Merge = {};
};

// One print run: the snapshot's design turned into print rows, laid out on the chosen sheet and
// previewed, from where the user prints. Created for one run; never shown itself.
class TrepCardForm {
  public:
    // The sheet list's current row is the sheet the pages are produced for, read at each
    // production.
    TrepCardForm(const TPrintParams& params, Query& sheetList);
    ~TrepCardForm();
    TrepCardForm(const TrepCardForm&) = delete;
    TrepCardForm& operator=(const TrepCardForm&) = delete;

    static QString Title() { return QStringLiteral("印刷．．．"); }
    // More empty cells than any sheet has are a sheet definition gone wrong.
    static constexpr int kMaxEmptyCells = 65535;
    // A page's start, for whoever follows the production.
    std::function<void(int page)> OnPage;

    TLabelReport repCard;
    Query ClientDataSetPrn;

    // Selects the paper of the paper type.
    void FormCreate();
    // The print job's printer: the listed printer of that name, letter case ignored, else the
    // system's default printer. Raises "TNkPrinter.CheckNoPrinter: No Printer".
    void SelectPrinter(const QString& name);
    // Loads the snapshot file (only read) and takes the design's picture placement.
    void LoadSnapshot(const QString& path);
    // The same from the design's data set itself, with no file between.
    void LoadDesign(Query& design);
    // Count − 1 copies of the design (none when merging), then the empty cells ahead of it.
    // Raises "印刷データ作成に失敗しました。", or the merge's own refusal (CheckMerge).
    bool BuildPrintRows();
    // Refuses a merge whose rows are empty or out of the list, whose copies or labels are out of
    // bounds, or whose design names columns the list lacks. Raises EMergeRefused.
    void CheckMerge();
    // Refuses a design with a barcode that cannot be encoded, for any row of the merge. Raises
    // EBarcodeRefused.
    void CheckBarcodes();
    // The design's label text; false when the snapshot holds none.
    bool ReadDesign(QTextDocument& design);
    // The rows in ID order; a picture is decoded once and shared by every row that carries it.
    std::vector<TPrintRow> PrintRows();
    // The page description for the current sheet; false cancels the production.
    void repCardBeforePrint(bool& PrintReport);
    void repCardPreview();
    void repCardStartPage();
    void repCardEndPage();
    void repCardAfterPrint();

    // Shows the preview; returns when it has been closed.
    void Preview();
    // Prints without a preview: to the selected printer, or into pdfPath when one is given.
    // True when the document was handed over in full.
    bool PrintDirect(const QString& pdfPath = QString());
    // Forgets every row the run added, so the snapshot keeps the design alone.
    void DiscardRows();
    bool Printed() const { return printed_; }
    const TPaper& Paper() const { return paper_; }
    const TPrintParams& Params() const { return params_; }

  private:
    void TakePlacement();
    // Raises "ラベル初期設定に失敗しました。".
    TPageDescription Layout(bool forPrinter);
    // A sheet that gives no page is refused before anything is produced.
    void PrepareProduction();

    TPrintParams params_;
    Query& sheetList_;
    TPaper paper_;
    PicturePlacement placement_;
    bool printed_ = false;
};

// Where the pages of a print run go: into a preview, from which the user prints; else into a
// PDF file; else straight to the printer.
struct TPrintOutput {
    TPreviewFactory preview;
    QString pdfPath;
    // Called as each page is produced for the printer or the file (from 1).
    std::function<void(int page)> onPage;
};

// One print run: the design, the sheet, where the first label goes, how many labels, the
// corrections (tenth-millimetres), the printer and the output.
struct TPrintRequest {
    // The design's row, as the print entry wrote it; the run only reads it.
    QString snapshotPath;
    // Or the design's rows straight from this data set (a program that prints alone).
    Query* design = nullptr;
    // Its current row is the sheet, read again each time the pages are produced.
    Query* sheets = nullptr;
    int startColumn = 1;
    int startRow = 1;
    int count = 1;
    CardLayout::Adjustments adjust;
    // Lengths in the stored tenth-millimetres; otherwise cut to whole millimetres.
    bool exact = false;
    FillOrder order = FillOrder::Columns;
    // A name not in the printer list prints to the system's default printer.
    QString printerName;
    TPrintOutput output;
    // With a list, its rows instead of count copies of the design.
    TMergeParams merge;
};

// The whole print run; with a preview it returns when the preview has been closed. True when
// the labels of this run went to the printer (or into the file). Raises
// "TNkPrinter.CheckNoPrinter: No Printer" when a printer is needed and none exists.
bool PrintLabels(const TPrintRequest& request);

// Stores the corrections and the printer with every sheet named PaperName, in q's transaction.
void StoreAdjustments(Query& q, const QString& PrinterName, const QString& PaperName, int TopAdjust,
                      int LeftAdjust);
