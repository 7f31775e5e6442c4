#include "printcore/repTavrelU.h"

#include "data/RecordCopy.h"
#include "model/Barcode.h"
#include "model/MergeDesign.h"
#include "model/MergeList.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/RtfReader.h"
#include "platform/SjisCodec.h"
#include "platform/StoredPicture.h"
#include "platform/WaitCursor.h"
#include "printcore/NkPrinters.h"
#include "printcore/PrintSnapshot.h"

#include <QScopeGuard>
#include <QTextDocument>
#include <algorithm>

namespace {

const QString kId = QStringLiteral("ID");
const QString kPicture = QStringLiteral("GAZOU");
const QString kText = QStringLiteral("CARDTEXT");

[[noreturn]] void BuildFailed() {
    throw EError(QStringLiteral("印刷データ作成に失敗しました。"));
}

// Hands out one decoded value per distinct stored value: the copies share their bytes, so the
// check for the same bytes is almost always a pointer comparison.
template <class Stored, class Made> class DecodeOnce {
  public:
    template <class Make> Made Get(const Stored& stored, Make make) {
        for (const auto& [bytes, made] : seen_)
            if ((bytes.constData() == stored.constData() && bytes.size() == stored.size()) ||
                bytes == stored)
                return made;
        seen_.emplace_back(stored, make(stored));
        return seen_.back().second;
    }

  private:
    std::vector<std::pair<Stored, Made>> seen_;
};

std::shared_ptr<const QImage> DecodePicture(const QByteArray& stored) {
    QString error;
    QImage image = StoredPicture::Decode(stored, &error);
    // A picture that cannot be read draws nothing; the label's text still prints.
    return image.isNull() ? nullptr : std::make_shared<const QImage>(std::move(image));
}

QByteArray StoredText(const QString& text) {
    bool ok = false;
    const QByteArray bytes = Sjis::TryEncode(text, &ok);
    return ok ? bytes : text.toUtf8();
}

// The merged labels of the design row, after the rows ahead of it.
void AppendMerged(std::vector<TPrintRow>& rows, const TPrintRow& design, const TMergeParams& m) {
    rows.reserve(rows.size() + static_cast<std::size_t>(m.Labels()));
    for (int r = m.FirstRow; r <= m.LastRow; ++r)
        for (int c = 0; c < m.Copies; ++c) {
            rows.push_back(design);
            rows.back().merge = m.List;
            rows.back().mergeRow = r;
        }
}

} // namespace

long long TMergeParams::Labels() const {
    if (!List || LastRow < FirstRow)
        return 0;
    return static_cast<long long>(LastRow - FirstRow + 1) * Copies;
}

TrepCardForm::TrepCardForm(const TPrintParams& params, Query& sheetList)
    : params_(params), sheetList_(sheetList) {
    repCard.Page.title = Title();
    repCard.OnBeforePrint = [this](bool& print) { repCardBeforePrint(print); };
    repCard.OnPreview = [this] { repCardPreview(); };
    repCard.OnStartPage = [this] { repCardStartPage(); };
    repCard.OnEndPage = [this] { repCardEndPage(); };
    repCard.OnAfterPrint = [this] { repCardAfterPrint(); };
    FormCreate();
}

TrepCardForm::~TrepCardForm() {
    DiscardRows();
}

void TrepCardForm::FormCreate() {
    paper_ = PaperOf(params_.PaperType);
    repCard.Page.paper = paper_;
}

void TrepCardForm::SelectPrinter(const QString& name) {
    repCard.Page.printerName = FindPrinterName(NkPrinter().GetPrinterNames(), name);
}

void TrepCardForm::LoadSnapshot(const QString& path) {
    ClientDataSetPrn.Close();
    PrintSnapshot::Load(path, ClientDataSetPrn);
    TakePlacement();
}

void TrepCardForm::LoadDesign(Query& design) {
    ClientDataSetPrn.Close();
    PrintSnapshot::Copy(design, ClientDataSetPrn);
    TakePlacement();
}

void TrepCardForm::TakePlacement() {
    ClientDataSetPrn.First();
    try {
        if (!ClientDataSetPrn.IsEmpty())
            placement_ = PicturePlacement::FromRecord(ClientDataSetPrn);
    } catch (...) {
        BuildFailed();
    }
}

bool TrepCardForm::BuildPrintRows() {
    WaitCursor wait;
    CheckMerge();
    CheckBarcodes();
    Query& q = ClientDataSetPrn;
    try {
        q.First();
        if (!q.Eof() && !params_.Merge.List) {
            for (int i = 1; i < params_.Count; ++i) {
                const QVariant picture = q.FieldByName(kPicture).Value();
                CopyCurrentRecord(q, kPicture, false);
                if (!picture.isNull()) {
                    q.Edit();
                    q.FieldByName(kPicture).SetValue(picture);
                }
                q.Post();
            }
        }
        const long long empty = CardLayout::EmptyCellsBefore(
            params_.StartColumn, params_.StartRow, params_.Retsu, params_.Dan, params_.Order);
        if (empty > kMaxEmptyCells)
            BuildFailed();
        for (long long i = 0; i < empty; ++i) {
            q.First();
            q.Insert();
            q.FieldByName(kId).SetValue(0);
            q.Post();
        }
    } catch (...) {
        BuildFailed();
    }
    return true;
}

std::vector<TPrintRow> TrepCardForm::PrintRows() {
    Query& q = ClientDataSetPrn;
    const int id = q.FieldIndex(kId), text = q.FieldIndex(kText), picture = q.FieldIndex(kPicture);
    std::vector<int> order(static_cast<size_t>(q.RecordCount()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    if (id >= 0)
        std::stable_sort(order.begin(), order.end(), [&q, id](int a, int b) {
            return q.RowValue(a, id).toLongLong() < q.RowValue(b, id).toLongLong();
        });
    DecodeOnce<QByteArray, std::shared_ptr<const QImage>> pictures;
    DecodeOnce<QString, QByteArray> texts;
    std::vector<TPrintRow> rows;
    rows.reserve(order.size());
    for (int r : order) {
        TPrintRow row;
        if (text >= 0 && !q.RowValue(r, text).isNull())
            row.cardText = texts.Get(q.RowValue(r, text).toString(), StoredText);
        if (picture >= 0 && !q.RowValue(r, picture).isNull())
            row.picture = pictures.Get(q.RowValue(r, picture).toByteArray(), DecodePicture);
        const bool design = id < 0 || q.RowValue(r, id).toLongLong() != 0;
        if (params_.Merge.List && design)
            AppendMerged(rows, row, params_.Merge);
        else
            rows.push_back(std::move(row));
    }
    return rows;
}

void TrepCardForm::CheckMerge() {
    const TMergeParams& m = params_.Merge;
    if (!m.List)
        return;
    const int rows = static_cast<int>(m.List->rows.size());
    if (rows == 0 || m.LastRow < m.FirstRow)
        throw EMergeRefused(QStringLiteral("印刷対象のデータがありません。"));
    if (m.FirstRow < 0 || m.LastRow >= rows)
        throw EMergeRefused(QStringLiteral("差し込みデータの行は 1 から %1 までです。").arg(rows));
    if (m.Copies < 1 || m.Copies > TMergeParams::kMaxCopies)
        throw EMergeRefused(QStringLiteral("1 行あたりの枚数は 1 から %1 までです。")
                                .arg(TMergeParams::kMaxCopies));
    if (m.Labels() > TMergeParams::kMaxLabels)
        throw EMergeRefused(QStringLiteral("一度に印刷できるラベルは %L1 枚までです。")
                                .arg(TMergeParams::kMaxLabels));
    QTextDocument design;
    if (!ReadDesign(design))
        return;
    try {
        MergeDesign::CheckColumns(design, *m.List);
    } catch (const EError& e) {
        throw EMergeRefused(e.message());
    }
}

bool TrepCardForm::ReadDesign(QTextDocument& design) {
    Query& q = ClientDataSetPrn;
    q.First();
    if (q.Eof() || q.FieldByName(kText).IsNull())
        return false;
    const QByteArray text = StoredText(q.FieldByName(kText).AsString());
    if (!RtfRead(text, &design))
        PlainTextRead(text, &design);
    return true;
}

void TrepCardForm::CheckBarcodes() {
    QTextDocument design;
    if (!ReadDesign(design))
        return;
    const TMergeParams& m = params_.Merge;
    try {
        Barcode::CheckPrintable(design, m.List.get(), m.FirstRow, m.LastRow,
                                ClientDataSetPrn.FieldByName(QStringLiteral("NAME")).AsString());
    } catch (const EError& e) {
        throw EBarcodeRefused(e.message());
    }
}

TPageDescription TrepCardForm::Layout(bool forPrinter) {
    try {
        TPageDescription page = CardLayout::Compute(
            paper_, SheetLayout::FromRecord(sheetList_), {params_.TopAdjust, params_.LeftAdjust},
            placement_, DisplayPpi(), forPrinter, params_.Exact, params_.Order);
        page.title = repCard.Page.title;
        page.printerName = repCard.Page.printerName;
        page.dropBlankLines = params_.Merge.DropBlankLines;
        return page;
    } catch (...) {
        throw EError(QStringLiteral("ラベル初期設定に失敗しました。"));
    }
}

void TrepCardForm::repCardBeforePrint(bool& PrintReport) {
    try {
        repCard.Page = Layout(repCard.PrintingToPrinter());
    } catch (const EError& e) {
        PrintReport = false;
        Messages::ShowError(e.message());
    }
}

void TrepCardForm::repCardPreview() {
    repCard.ShowPreview();
    repCard.SetPreviewCloseEnabled(false);
}

void TrepCardForm::repCardStartPage() {
    repCard.SetPreviewCloseEnabled(false);
    if (OnPage && repCard.PrintingToPrinter())
        OnPage(repCard.PageNumber());
}

void TrepCardForm::repCardEndPage() {
    repCard.SetPreviewCloseEnabled(true);
}

void TrepCardForm::repCardAfterPrint() {
    printed_ = true;
}

void TrepCardForm::PrepareProduction() {
    Layout(false);
    repCard.Rows = PrintRows();
}

void TrepCardForm::Preview() {
    PrepareProduction();
    repCard.Preview();
}

bool TrepCardForm::PrintDirect(const QString& pdfPath) {
    PrepareProduction();
    const bool handedOver = pdfPath.isEmpty() ? repCard.Print() : repCard.PrintToFile(pdfPath);
    return handedOver && printed_;
}

void TrepCardForm::DiscardRows() {
    try {
        ClientDataSetPrn.CancelUpdates();
        ClientDataSetPrn.Close();
    } catch (...) {
        // Nothing of the file is at stake: the rows were only ever in memory.
    }
}

namespace {

TPrintParams ParamsOf(const TPrintRequest& r) {
    Query& sheet = *r.sheets;
    return {r.printerName,
            sheet.FieldByName(QStringLiteral("PAPERNAME")).AsString(),
            sheet.FieldByName(QStringLiteral("PAPERTYPE")).AsString(),
            r.adjust.top,
            r.adjust.left,
            r.count,
            r.startColumn,
            r.startRow,
            sheet.FieldByName(QStringLiteral("DAN")).AsInteger(),
            sheet.FieldByName(QStringLiteral("RETSU")).AsInteger(),
            r.exact,
            r.order,
            r.merge};
}

} // namespace

bool PrintLabels(const TPrintRequest& request) {
    const TPrintOutput& output = request.output;
    TrepCardForm form(ParamsOf(request), *request.sheets);
    // A file needs no printer, so a machine without any can still write one.
    if (output.preview || output.pdfPath.isEmpty())
        form.SelectPrinter(request.printerName);
    form.repCard.Page.title = TrepCardForm::Title() + form.Params().PaperName;
    if (request.design)
        form.LoadDesign(*request.design);
    else
        form.LoadSnapshot(request.snapshotPath);
    form.BuildPrintRows();
    form.OnPage = output.onPage;
    if (!output.preview)
        return form.PrintDirect(output.pdfPath);
    form.repCard.PreviewFactory = output.preview;
    form.Preview();
    return form.Printed();
}

void StoreAdjustments(Query& q, const QString& PrinterName, const QString& PaperName, int TopAdjust,
                      int LeftAdjust) {
    q.Close();
    q.SQL.clear();
    q.ClearParams();
    const auto reset = qScopeGuard([&q] {
        q.Close();
        q.Unprepare();
        q.SQL.clear();
        q.ClearParams();
    });
    q.SQL = {QStringLiteral("UPDATE TAVRELSET"),
             QStringLiteral("SET Pr_TopM = :Param0,Pr_LeftM = :Param1,"),
             QStringLiteral("PrinterName = :Param2"),
             QStringLiteral("WHERE (PAPERNAME = :Param3)")};
    q.SetParam(QStringLiteral("Param0"), static_cast<double>(TopAdjust));
    q.SetParam(QStringLiteral("Param1"), static_cast<double>(LeftAdjust));
    q.SetParam(QStringLiteral("Param2"), PrinterName);
    q.SetParam(QStringLiteral("Param3"), PaperName);
    q.Prepare();
    q.ExecSQL();
}
