#include "batch/BatchOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const QStringList kListKinds = {QStringLiteral("designs"), QStringLiteral("sheets"),
                                QStringLiteral("printers")};

const char* const kExitText = R"(
Exit status:
  0  done
  2  bad arguments, merge list or barcode data refused (引数、差し込みデータまたはバーコードのデータの誤り)
  3  design or sheet not found (デザインまたは用紙が見つからない)
  4  database cannot be opened (データベースを開けない)
  5  printer not found or printing failed (プリンタが見つからない、または印刷の失敗)
  6  PDF cannot be written (PDF を書き込めない)
  7  printed, but the corrections were not stored (印刷したが補正値を保存できない)
)";

struct Definitions {
    QCommandLineOption design{
        "design", "印刷するデザインの名前 (design name; the lowest ID of that name)", "NAME"};
    QCommandLineOption id{"id", "印刷するデザインの ID (design ID)", "ID"};
    QCommandLineOption sheet{"sheet", "用紙名 (sheet name; default: the design's sheet)",
                             "PAPERNAME"};
    QCommandLineOption column{"column", "開始列 (start column, 1 - columns of the sheet)", "N"};
    QCommandLineOption row{"row", "開始段 (start row, 1 - rows of the sheet)", "N"};
    QCommandLineOption count{"count", "枚数 (labels, 1 - 99; default: one page)", "N"};
    QCommandLineOption top{"top", "上補正 0.1mm (top correction, -2000 - 2000; default: stored)",
                           "TENTHS"};
    QCommandLineOption left{"left", "左補正 0.1mm (left correction, -2000 - 2000; default: stored)",
                            "TENTHS"};
    QCommandLineOption printer{"printer", "プリンタ (printer; default: the sheet's stored one)",
                               "NAME"};
    QCommandLineOption exact{"exact", "0.1mm 単位で配置 (lay labels out in tenth-millimetres)"};
    QCommandLineOption wholeMm{"whole-mm", "1mm 単位で配置 (lay labels out in whole millimetres)"};
    QCommandLineOption order{"order", "印刷順 (fill order: columns = 縦順, rows = 横順)", "ORDER"};
    QCommandLineOption pdf{"pdf", "PDF ファイルへ出力 (write a PDF file; stores nothing)", "FILE"};
    QCommandLineOption database{"database", "データベース (database; default: TAVREL.ini)", "PATH"};
    QCommandLineOption merge{"merge", "差し込みデータ (merge list, CSV or TSV; one label a row)",
                             "FILE"};
    QCommandLineOption encoding{"encoding", "文字コード (auto, utf-8 or cp932; default: auto)",
                                "ENCODING"};
    QCommandLineOption rows{
        "rows", "印刷する行 A-B (rows A to B of the merge list, from 1; default: all)", "RANGE"};
    QCommandLineOption copies{"copies", "1 行あたりの枚数 (labels a row, 1 - 99; default: 1)", "N"};
    QCommandLineOption list{"list", "一覧 (list designs, sheets or printers)", "WHAT"};
    QCommandLineOption help{QStringList{"h", "help"}, "このヘルプ (show this help)"};
    QCommandLineOption version{QStringList{"v", "version"}, "版 (show the version)"};

    void AddTo(QCommandLineParser& parser) const {
        for (const auto* o : {&design,   &id,    &sheet,   &column,   &row,     &count, &top,
                              &left,     &exact, &wholeMm, &order,    &printer, &pdf,   &merge,
                              &encoding, &rows,  &copies,  &database, &list,    &help,  &version})
            parser.addOption(*o);
    }
};

[[noreturn]] void BadArguments(const QString& japanese, const QString& english,
                               const QString& detail = {}) {
    throw EBatch(BatchExit::BadArguments, BatchMessage(japanese, english, detail));
}

std::optional<int> Number(const QCommandLineParser& parser, const QCommandLineOption& option) {
    if (!parser.isSet(option))
        return std::nullopt;
    bool ok = false;
    const QString text = parser.value(option);
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        BadArguments(QStringLiteral("数値ではありません"), QStringLiteral("not a number"),
                     QStringLiteral("--%1 %2").arg(option.names().constFirst(), text));
    return value;
}

void CheckCombination(const QCommandLineParser& parser, const Definitions& d) {
    if (!parser.positionalArguments().isEmpty())
        BadArguments(QStringLiteral("余分な引数があります"), QStringLiteral("unexpected argument"),
                     parser.positionalArguments().constFirst());
    if (parser.isSet(d.design) && parser.isSet(d.id))
        BadArguments(QStringLiteral("--design と --id は同時に指定できません"),
                     QStringLiteral("--design and --id exclude each other"));
    if (parser.isSet(d.exact) && parser.isSet(d.wholeMm))
        BadArguments(QStringLiteral("--exact と --whole-mm は同時に指定できません"),
                     QStringLiteral("--exact and --whole-mm exclude each other"));
    if (parser.isSet(d.printer) && parser.isSet(d.pdf))
        BadArguments(QStringLiteral("--printer と --pdf は同時に指定できません"),
                     QStringLiteral("--printer and --pdf exclude each other"));
    if (parser.isSet(d.merge) && parser.isSet(d.count))
        BadArguments(QStringLiteral("--merge と --count は同時に指定できません"),
                     QStringLiteral("--merge and --count exclude each other"));
    for (const auto* o : {&d.encoding, &d.rows, &d.copies})
        if (parser.isSet(*o) && !parser.isSet(d.merge))
            BadArguments(QStringLiteral("--merge なしでは使えない指定です"),
                         QStringLiteral("option needs --merge"),
                         QStringLiteral("--") + o->names().constFirst());
}

// "A-B", "A-" or "-B"; either end may be left out.
void ReadRows(const QString& text, BatchOptions& options) {
    const qsizetype dash = text.indexOf(u'-');
    const QString first = dash < 0 ? text : text.left(dash);
    const QString last = dash < 0 ? text : text.mid(dash + 1);
    bool ok = true;
    auto number = [&ok](const QString& part) -> std::optional<int> {
        if (part.trimmed().isEmpty())
            return std::nullopt;
        bool good = false;
        const int value = part.trimmed().toInt(&good);
        ok = ok && good;
        return value;
    };
    options.firstRow = number(first);
    options.lastRow = number(last);
    if (!ok || (dash >= 0 && text.indexOf(u'-', dash + 1) >= 0) || text.trimmed().isEmpty())
        BadArguments(QStringLiteral("行の範囲は A-B の形で指定してください"),
                     QStringLiteral("--rows takes A-B"), text);
}

void ReadMerge(const QCommandLineParser& parser, const Definitions& d, BatchOptions& options) {
    options.mergePath = parser.value(d.merge);
    if (parser.isSet(d.merge) && options.mergePath.isEmpty())
        BadArguments(QStringLiteral("差し込みデータのファイル名が空です"),
                     QStringLiteral("empty merge list file name"));
    if (parser.isSet(d.encoding) &&
        !ParseListEncoding(parser.value(d.encoding), &options.mergeEncoding))
        BadArguments(QStringLiteral("文字コードは auto, utf-8, cp932 のいずれかです"),
                     QStringLiteral("--encoding takes auto, utf-8 or cp932"),
                     parser.value(d.encoding));
    if (parser.isSet(d.rows))
        ReadRows(parser.value(d.rows), options);
}

void ReadList(const QCommandLineParser& parser, const Definitions& d, BatchOptions& options) {
    options.action = BatchOptions::Action::List;
    options.listWhat = parser.value(d.list);
    if (!kListKinds.contains(options.listWhat))
        BadArguments(QStringLiteral("一覧の種類は designs, sheets, printers のいずれかです"),
                     QStringLiteral("--list takes designs, sheets or printers"), options.listWhat);
    for (const auto* o : {&d.design, &d.id, &d.sheet, &d.column, &d.row, &d.count, &d.top, &d.left,
                          &d.printer, &d.exact, &d.wholeMm, &d.order, &d.pdf, &d.merge})
        if (parser.isSet(*o))
            BadArguments(QStringLiteral("--list と一緒に使えない指定です"),
                         QStringLiteral("option not allowed with --list"),
                         QStringLiteral("--") + o->names().constFirst());
}

void ReadPrint(const QCommandLineParser& parser, const Definitions& d, BatchOptions& options) {
    if (!parser.isSet(d.design) && !parser.isSet(d.id))
        BadArguments(QStringLiteral("--design または --id を指定してください"),
                     QStringLiteral("--design or --id is required"));
    options.designName = parser.value(d.design);
    options.designId = Number(parser, d.id);
    options.sheetName = parser.value(d.sheet);
    options.column = Number(parser, d.column);
    options.row = Number(parser, d.row);
    options.count = Number(parser, d.count);
    options.top = Number(parser, d.top);
    options.left = Number(parser, d.left);
    if (parser.isSet(d.printer))
        options.printer = parser.value(d.printer);
    if (parser.isSet(d.exact) || parser.isSet(d.wholeMm))
        options.exact = parser.isSet(d.exact);
    if (parser.isSet(d.order)) {
        const QString order = parser.value(d.order);
        if (order != QStringLiteral("columns") && order != QStringLiteral("rows"))
            BadArguments(QStringLiteral("印刷順は columns または rows です"),
                         QStringLiteral("--order takes columns or rows"), order);
        options.fillByRows = order == QStringLiteral("rows");
    }
    options.copies = Number(parser, d.copies);
    ReadMerge(parser, d, options);
    options.pdfPath = parser.value(d.pdf);
    if (parser.isSet(d.pdf) && options.pdfPath.isEmpty())
        BadArguments(QStringLiteral("PDF ファイル名が空です"),
                     QStringLiteral("empty PDF file name"));
}

} // namespace

QString BatchMessage(const QString& japanese, const QString& english, const QString& detail) {
    QString text = japanese + QStringLiteral(" (") + english + QLatin1Char(')');
    if (!detail.isEmpty())
        text += QStringLiteral(": ") + detail;
    return text;
}

QString BatchOptions::HelpText() {
    QCommandLineParser parser;
    Definitions().AddTo(parser);
    parser.setApplicationDescription(
        QStringLiteral("ラベルをウィンドウなしで印刷します (prints labels without the window).\n\n"
                       "  tavrel-batch (--design NAME | --id ID) [--sheet PAPERNAME] [--column N] "
                       "[--row N]\n"
                       "               [--count N] [--top TENTHS] [--left TENTHS]\n"
                       "               [--exact | --whole-mm] [--order columns|rows]\n"
                       "               [--printer NAME | --pdf FILE] [--database PATH]\n"
                       "               [--merge FILE [--encoding auto|utf-8|cp932] [--rows RANGE]\n"
                       "                [--copies N]]\n"
                       "  tavrel-batch --list designs|sheets|printers [--database PATH]"));
    return parser.helpText() + QString::fromUtf8(kExitText);
}

QString BatchOptions::VersionText() {
    return QStringLiteral("tavrel-batch %1\n").arg(QCoreApplication::applicationVersion());
}

BatchOptions ParseBatchOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const Definitions d;
    d.AddTo(parser);
    if (!parser.parse(arguments))
        BadArguments(QStringLiteral("引数が正しくありません"), QStringLiteral("bad arguments"),
                     parser.errorText());
    BatchOptions options;
    if (parser.isSet(d.help) || parser.isSet(d.version)) {
        options.action =
            parser.isSet(d.help) ? BatchOptions::Action::Help : BatchOptions::Action::Version;
        return options;
    }
    CheckCombination(parser, d);
    options.database = parser.value(d.database);
    if (parser.isSet(d.list))
        ReadList(parser, d, options);
    else
        ReadPrint(parser, d, options);
    return options;
}
