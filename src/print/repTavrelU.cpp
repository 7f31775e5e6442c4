#include "print/repTavrelU.h"

#include "data/RecordCopy.h"
#include "model/MergeDesign.h"
#include "model/MergeList.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/RtfReader.h"
#include "platform/Settings.h"
#include "platform/SjisCodec.h"
#include "platform/StoredPicture.h"
#include "platform/WaitCursor.h"
#include "print/NkPrinters.h"
#include "print/PrintSnapshot.h"

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
    paper_ = CardLayout::PaperOf(params_.PaperType);
    repCard.Page.paper = paper_;
}

void TrepCardForm::SelectPrinter(const QString& name) {
    repCard.Page.printerName.clear();
    for (const QString& listed : NkPrinter().GetPrinterNames())
        if (listed.compare(name, Qt::CaseInsensitive) == 0) {
            repCard.Page.printerName = listed;
            return;
        }
}

void TrepCardForm::LoadSnapshot(const QString& path) {
    ClientDataSetPrn.Close();
    PrintSnapshot::Load(path, ClientDataSetPrn);
    ClientDataSetPrn.First();
    try {
        if (!ClientDataSetPrn.IsEmpty())
            placement_ = PicturePlacement::FromRecord(ClientDataSetPrn);
    } catch (...) {
        BuildFailed();
    }
}

void TrepCardForm::CheckMerge() {
    const TMergeParams& m = params_.Merge;
    if (!m.List)
        return;
    const int rows = static_cast<int>(m.List->rows.size());
    if (rows == 0 || m.LastRow < m.FirstRow)
        throw EError(QStringLiteral("印刷対象のデータがありません。"));
    if (m.FirstRow < 0 || m.LastRow >= rows)
        throw EError(QStringLiteral("差し込みデータの行は 1 から %1 までです。").arg(rows));
    if (m.Copies < 1 || m.Copies > TMergeParams::kMaxCopies)
        throw EError(QStringLiteral("1 行あたりの枚数は 1 から %1 までです。")
                         .arg(TMergeParams::kMaxCopies));
    if (m.Labels() > TMergeParams::kMaxLabels)
        throw EError(QStringLiteral("一度に印刷できるラベルは %L1 枚までです。")
                         .arg(TMergeParams::kMaxLabels));
    Query& q = ClientDataSetPrn;
    q.First();
    if (q.Eof() || q.FieldByName(kText).IsNull())
        return;
    QTextDocument design;
    const QByteArray text = StoredText(q.FieldByName(kText).AsString());
    if (!RtfRead(text, &design))
        PlainTextRead(text, &design);
    MergeDesign::CheckColumns(design, *m.List);
}

bool TrepCardForm::BuildPrintRows() {
    WaitCursor wait;
    CheckMerge();
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
        const long long empty =
            static_cast<long long>(params_.StartColumn - 1) * params_.Dan + params_.StartRow - 1;
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

TPageDescription TrepCardForm::Layout(bool forPrinter) {
    try {
        TPageDescription page = CardLayout::Compute(paper_, SheetLayout::FromRecord(sheetList_),
                                                    {params_.TopAdjust, params_.LeftAdjust},
                                                    placement_, DisplayPpi(), forPrinter);
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

void TrepCardForm::Preview(QWidget* parent) {
    PrepareProduction();
    repCard.Preview(parent);
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

bool PrintLabels(const QString& PrinterName, const QString& PaperName, const QString& PaperType,
                 int TopAdjust, int LeftAdjust, int Count, int StartColumn, int StartRow, int Dan,
                 Query& sheetList, QWidget* parent, const TMergeParams& merge) {
    TrepCardForm form({PrinterName, PaperName, PaperType, TopAdjust, LeftAdjust, Count, StartColumn,
                       StartRow, Dan, merge},
                      sheetList);
    form.SelectPrinter(PrinterName);
    form.repCard.Page.title = TrepCardForm::Title() + PaperName;
    form.LoadSnapshot(Settings::SnapshotPath);
    if (form.BuildPrintRows())
        form.Preview(parent);
    return form.Printed();
}
