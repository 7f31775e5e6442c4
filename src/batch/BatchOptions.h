#pragma once

#include "model/MergeList.h"
#include "platform/Error.h"

#include <QString>
#include <QStringList>
#include <optional>

// The exit statuses of tavrel-batch; scripts rely on them.
enum class BatchExit {
    Ok = 0,
    BadArguments = 2,
    NotFound = 3,
    DatabaseFailed = 4,
    PrintFailed = 5,
    PdfFailed = 6,
    // The labels went to the printer: running again would print them twice.
    NotStored = 7,
};

// A failure of the batch program: its message and the exit status it ends with.
class EBatch : public EError {
  public:
    EBatch(BatchExit exit, const QString& message) : EError(message), exit_(exit) {}
    BatchExit exit() const { return exit_; }

  private:
    BatchExit exit_;
};

// Japanese first, the English beside it for scripts that parse the message.
QString BatchMessage(const QString& japanese, const QString& english, const QString& detail = {});

// What one run of tavrel-batch is asked to do. Unset values take the print dialog's defaults.
struct BatchOptions {
    enum class Action { Print, Help, Version, List };
    Action action = Action::Print;
    QString listWhat; // designs, sheets or printers

    QString designName;
    std::optional<int> designId;
    QString sheetName;
    std::optional<int> column, row, count, top, left;
    std::optional<QString> printer;
    // Unset: as the settings file says.
    std::optional<bool> exact, fillByRows;
    QString pdfPath;
    QString database;

    // One label per row of a merge list (rows counted from 1, both ends included), copies each.
    QString mergePath;
    ListEncoding mergeEncoding = ListEncoding::Auto;
    std::optional<int> firstRow, lastRow, copies;

    // The --help text: usage, options and the exit statuses.
    static QString HelpText();
    static QString VersionText();
};

// Reads the command line (the program's name first). Raises EBatch with BadArguments.
BatchOptions ParseBatchOptions(const QStringList& arguments);
