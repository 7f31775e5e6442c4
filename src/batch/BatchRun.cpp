#include "batch/BatchRun.h"

#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/Query.h"
#include "model/CardLayout.h"
#include "model/SheetLayout.h"
#include "platform/MessageService.h"
#include "platform/SafeFile.h"
#include "platform/Settings.h"
#include "platform/SjisCodec.h"
#include "printcore/NkPrinters.h"
#include "printcore/PrintJob.h"
#include "printcore/repTavrelU.h"

#include <algorithm>

namespace {

using CardLayout::kMaxAdjust;
using CardLayout::kMaxCount;

[[noreturn]] void Fail(BatchExit exit, const QString& japanese, const QString& english,
                       const QString& detail = {}) {
    throw EBatch(exit, BatchMessage(japanese, english, detail));
}

int InRange(std::optional<int> given, int fallback, int low, int high, const char* option) {
    const int value = given.value_or(fallback);
    if (given && (value < low || value > high))
        Fail(BatchExit::BadArguments, QStringLiteral("範囲外の値です"),
             QStringLiteral("value out of range"),
             QStringLiteral("--%1 %2 (%3 - %4)")
                 .arg(QLatin1String(option))
                 .arg(value)
                 .arg(low)
                 .arg(high));
    return value;
}

// A machine without printers lists none; asking for one by name then finds none.
QStringList Printers() {
    try {
        return NkPrinter().GetPrinterNames();
    } catch (const ENkPrinterNoPrinter&) {
        return {};
    } catch (const std::exception& e) {
        Fail(BatchExit::PrintFailed, QStringLiteral("プリンタの一覧を読めません"),
             QStringLiteral("cannot read the printers"), ExceptionText(e));
    }
}

} // namespace

struct TBatchRun::Impl {
    Impl(const BatchOptions& o, QTextStream& out_, QTextStream& err_, bool progress_)
        : options(o), out(out_), err(err_), progress(progress_) {}

    const BatchOptions& options;
    QTextStream& out;
    QTextStream& err;
    bool progress;

    Database db;
    Transaction tr;
    Query design{&db, &tr};
    Query sheets{&db, &tr};
    QString databasePath;

    void Connect();
    void CheckPdfTarget();
    void List();
    void ListDesigns();
    void ListSheets();
    void ReadDesign();
    void LocateSheet(const QString& name);
    void Print();
    TPrintRequest Request(const QString& printer);
    QString ChoosePrinter();
    void ShowProgress(TPrintRequest& request);
    void Produce(const TPrintRequest& request);
    void Store(const TPrintRequest& request);
    TMergeParams Merge();
};

void TBatchRun::Impl::Connect() {
    const bool fromSettings = options.database.isEmpty();
    try {
        if (fromSettings)
            Settings::ReadSettings();
    } catch (const std::exception&) {
        Fail(BatchExit::DatabaseFailed, QStringLiteral("設定ファイルを読めません"),
             QStringLiteral("cannot read the settings file"), Settings::IniFileName);
    }
    if (!Settings::IniWarning.isEmpty())
        err << "tavrel-batch: " << Settings::IniWarning << '\n' << Qt::flush;
    databasePath = fromSettings ? Settings::DbPath : options.database;
    try {
        SetConnectionParams(db, tr, databasePath);
        db.Open();
    } catch (const std::exception& e) {
        Fail(BatchExit::DatabaseFailed, QStringLiteral("データベースを開けません"),
             QStringLiteral("database cannot be opened"),
             databasePath + QStringLiteral(": ") + OpenFailureReason(e).simplified());
    }
}

// Refused before anything is written: the file would be lost to the PDF.
void TBatchRun::Impl::CheckPdfTarget() {
    if (options.pdfPath.isEmpty())
        return;
    if (const auto refusal =
            RefusePdfTarget(options.pdfPath, databasePath, Settings::SettingsFile()))
        Fail(BatchExit::BadArguments, refusal->japanese, refusal->english, options.pdfPath);
}

void TBatchRun::Impl::List() {
    if (options.listWhat == QLatin1String("printers")) {
        for (const QString& name : Printers())
            out << name << '\n';
        return;
    }
    Connect();
    if (options.listWhat == QLatin1String("designs"))
        ListDesigns();
    else
        ListSheets();
}

void TBatchRun::Impl::ListDesigns() {
    Query q(&db, &tr);
    q.SQL = {QStringLiteral("SELECT ID, NAME, PAPERNAME FROM TAVREL ORDER BY ID")};
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        out << q.FieldByName("ID").AsString() << '\t' << q.FieldByName("NAME").AsString() << '\t'
            << q.FieldByName("PAPERNAME").AsString() << '\n';
}

// One line per sheet name, as the print dialog lists them: name, columns, rows, paper type.
void TBatchRun::Impl::ListSheets() {
    Query q(&db, &tr);
    q.SQL = {QStringLiteral("SELECT PAPERNAME, RETSU, DAN, PAPERTYPE FROM TAVRELSET"),
             QStringLiteral("WHERE PAPERNAME IS NOT NULL ORDER BY PAPERNAME, ID")};
    q.Open();
    QString last;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString name = q.FieldByName("PAPERNAME").AsString();
        if (!last.isNull() && name == last)
            continue;
        last = name;
        out << name << '\t' << q.FieldByName("RETSU").AsString() << '\t'
            << q.FieldByName("DAN").AsString() << '\t' << q.FieldByName("PAPERTYPE").AsString()
            << '\n';
    }
}

void TBatchRun::Impl::ReadDesign() {
    design.SQL = options.designId
                     ? QStringList{QStringLiteral("SELECT * FROM TAVREL WHERE (ID = :P0)")}
                     : QStringList{QStringLiteral("SELECT FIRST 1 * FROM TAVREL"),
                                   QStringLiteral("WHERE (NAME = :P0) ORDER BY ID")};
    design.SetParam(QStringLiteral("P0"),
                    options.designId ? QVariant(*options.designId) : QVariant(options.designName));
    // A name the column cannot hold (too long, or a character the database has no form for)
    // names no stored design.
    bool storable = options.designId || Sjis::FitsDatabase(options.designName);
    try {
        if (storable)
            design.Open();
    } catch (const EDatabaseError& e) {
        if (options.designId || !e.message().contains(QLatin1String("string right truncation")))
            throw;
        storable = false;
    }
    if (!storable || design.IsEmpty())
        Fail(BatchExit::NotFound, QStringLiteral("デザインが見つかりません"),
             QStringLiteral("design not found"),
             options.designId ? QString::number(*options.designId) : options.designName);
}

// The sheet of that name; written in another letter case it is still found, as in the dialog.
void TBatchRun::Impl::LocateSheet(const QString& name) {
    sheets.SQL = {QStringLiteral("SELECT * FROM TAVRELSET"), QStringLiteral("ORDER BY PAPERNAME")};
    sheets.Open();
    if (sheets.Locate(QStringLiteral("PAPERNAME"), name))
        return;
    for (sheets.First(); !sheets.Eof(); sheets.Next())
        if (sheets.FieldByName("PAPERNAME").AsString().compare(name, Qt::CaseInsensitive) == 0)
            return;
    Fail(BatchExit::NotFound, QStringLiteral("用紙が見つかりません"),
         QStringLiteral("sheet not found"), name);
}

// A PDF file needs no printer, so a machine without any can still write one.
QString TBatchRun::Impl::ChoosePrinter() {
    if (!options.pdfPath.isEmpty())
        return {};
    const QStringList printers = Printers();
    if (options.printer) {
        const QString listed = FindPrinterName(printers, *options.printer);
        if (listed.isEmpty())
            Fail(BatchExit::PrintFailed, QStringLiteral("プリンタが見つかりません"),
                 QStringLiteral("printer not found"), *options.printer);
        return listed;
    }
    const QString stored = FindPrinterName(printers, sheets.FieldByName("PRINTERNAME").AsString());
    if (!stored.isEmpty())
        return stored;
    if (printers.isEmpty())
        Fail(BatchExit::PrintFailed, QStringLiteral("プリンタがありません"),
             QStringLiteral("no printer"));
    return printers.constFirst();
}

TPrintRequest TBatchRun::Impl::Request(const QString& printer) {
    auto value = [this](const char* name) { return sheets.FieldByName(name).AsInteger(); };
    TPrintRequest r;
    r.design = &design;
    r.sheets = &sheets;
    r.printerName = printer;
    r.exact = options.exact.value_or(Settings::PrintTenthMm);
    r.order =
        options.fillByRows.value_or(Settings::FillByRows) ? FillOrder::Rows : FillOrder::Columns;
    r.output.pdfPath = options.pdfPath;
    const int columns = static_cast<qint16>(value("RETSU")),
              rows = static_cast<qint16>(value("DAN"));
    r.startColumn = InRange(options.column, 1, 1, std::max(columns, 1), "column");
    r.startRow = InRange(options.row, 1, 1, std::max(rows, 1), "row");
    r.count =
        InRange(options.count, std::clamp(columns * rows, 1, kMaxCount), 1, kMaxCount, "count");
    r.merge = Merge();
    r.adjust.top = InRange(options.top, std::clamp(value("PR_TOPM"), -kMaxAdjust, kMaxAdjust),
                           -kMaxAdjust, kMaxAdjust, "top");
    r.adjust.left = InRange(options.left, std::clamp(value("PR_LEFTM"), -kMaxAdjust, kMaxAdjust),
                            -kMaxAdjust, kMaxAdjust, "left");
    return r;
}

void TBatchRun::Impl::ShowProgress(TPrintRequest& request) {
    const long long cells =
        CardLayout::EmptyCellsBefore(request.startColumn, request.startRow,
                                     sheets.FieldByName("RETSU").AsInteger(),
                                     sheets.FieldByName("DAN").AsInteger(), request.order) +
        (request.merge.List ? request.merge.Labels() : request.count);
    const int perPage = SheetLayout::FromRecord(sheets).LabelsPerSheet();
    const long long pages = (cells + perPage - 1) / perPage;
    if (!progress || pages < 2)
        return;
    request.output.onPage = [this, pages](int page) {
        err << QStringLiteral("\r印刷中 (printing) %1/%2").arg(page).arg(pages) << Qt::flush;
        if (page == pages)
            err << '\n' << Qt::flush;
    };
}

void TBatchRun::Impl::Produce(const TPrintRequest& request) {
    const bool toFile = !options.pdfPath.isEmpty();
    bool printed = false;
    try {
        printed = PrintLabels(request);
    } catch (const EMergeRefused& e) {
        Fail(BatchExit::BadArguments, QStringLiteral("差し込み印刷できません"),
             QStringLiteral("cannot merge"), e.message());
    } catch (const EBarcodeRefused& e) {
        Fail(BatchExit::BadArguments, QStringLiteral("バーコードを印刷できません"),
             QStringLiteral("a barcode cannot be printed"), e.message());
    } catch (const std::exception& e) {
        const auto* write = dynamic_cast<const EWriteFailed*>(&e);
        const QString detail =
            write ? write->path() + QStringLiteral(": ") + write->reason() : ExceptionText(e);
        if (toFile && (write || ExceptionText(e) == TPdfDocument::FailureText()))
            Fail(BatchExit::PdfFailed, QStringLiteral("PDF を書き込めません"),
                 QStringLiteral("PDF cannot be written"), write ? detail : options.pdfPath);
        Fail(BatchExit::PrintFailed, QStringLiteral("印刷に失敗しました"),
             QStringLiteral("printing failed"), detail);
    }
    if (!printed)
        Fail(BatchExit::PrintFailed, QStringLiteral("印刷に失敗しました"),
             QStringLiteral("printing failed"), toFile ? options.pdfPath : request.printerName);
}

// A list that cannot be read, or rows or copies outside it, are bad input like a bad argument.
TMergeParams TBatchRun::Impl::Merge() {
    TMergeParams m;
    if (options.mergePath.isEmpty())
        return m;
    try {
        m.List = std::make_shared<const MergeList>(
            LoadMergeList(options.mergePath, options.mergeEncoding));
    } catch (const EError& e) {
        Fail(BatchExit::BadArguments, QStringLiteral("差し込みデータを読めません"),
             QStringLiteral("merge list refused"), e.message());
    }
    const int rows = static_cast<int>(m.List->rows.size());
    m.FirstRow = options.firstRow.value_or(1) - 1;
    m.LastRow = options.lastRow.value_or(rows) - 1;
    m.Copies = InRange(options.copies, 1, 1, TMergeParams::kMaxCopies, "copies");
    return m;
}

// The corrections and the printer go with every sheet of that name, as the dialog stores them.
void TBatchRun::Impl::Store(const TPrintRequest& request) {
    try {
        Query q(&db, &tr);
        StoreAdjustments(q, request.printerName, sheets.FieldByName("PAPERNAME").AsString(),
                         request.adjust.top, request.adjust.left);
        tr.Commit();
    } catch (const std::exception& e) {
        Fail(BatchExit::NotStored, QStringLiteral("印刷しましたが補正値を保存できません"),
             QStringLiteral("printed, but the corrections were not stored"), ExceptionText(e));
    }
}

void TBatchRun::Impl::Print() {
    Connect();
    CheckPdfTarget();
    ReadDesign();
    const QString sheetName = options.sheetName.isEmpty()
                                  ? design.FieldByName("PAPERNAME").AsString()
                                  : options.sheetName;
    LocateSheet(sheetName);
    // A printer named on the command line must exist even before the ranges are checked.
    const QString printer = ChoosePrinter();
    // The design goes to the print run as it was read: no snapshot file, which the window's
    // print dialog may be using at this moment.
    TPrintRequest request = Request(printer);
    ShowProgress(request);
    Produce(request);
    if (options.pdfPath.isEmpty())
        Store(request);
}

TBatchRun::TBatchRun(const BatchOptions& options, QTextStream& out, QTextStream& err, bool progress)
    : d(std::make_unique<Impl>(options, out, err, progress)) {}

TBatchRun::~TBatchRun() = default;

void TBatchRun::Execute() {
    if (d->options.action == BatchOptions::Action::List)
        d->List();
    else
        d->Print();
}

int RunBatch(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress) {
    // Whatever the print run would show in a box goes to standard error instead.
    Messages::SetResponder([&err](const Messages::Request& r) {
        err << "tavrel-batch: " << r.text << '\n' << Qt::flush;
        return r.buttons == Messages::Buttons::Ok ? Messages::Answer::Ok : Messages::Answer::Cancel;
    });
    try {
        const BatchOptions options = ParseBatchOptions(arguments);
        if (options.action == BatchOptions::Action::Help) {
            out << BatchOptions::HelpText();
            return 0;
        }
        if (options.action == BatchOptions::Action::Version) {
            out << BatchOptions::VersionText();
            return 0;
        }
        TBatchRun(options, out, err, progress).Execute();
        return 0;
    } catch (const EBatch& e) {
        err << "tavrel-batch: " << e.message() << '\n' << Qt::flush;
        return static_cast<int>(e.exit());
    } catch (const std::exception& e) {
        err << "tavrel-batch: "
            << BatchMessage(QStringLiteral("印刷に失敗しました"), QStringLiteral("printing failed"),
                            ExceptionText(e))
            << '\n'
            << Qt::flush;
        return static_cast<int>(BatchExit::PrintFailed);
    }
}
