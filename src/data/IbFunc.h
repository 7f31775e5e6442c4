#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringList>

class Database;
class Query;
struct TUpdateSQL;

// Fills the update object with the delete, insert, modify and refresh statements for every
// column of an open query. Raises "UpdateSQL Set Error".
bool GenerateUpdateSql(Query& query, TUpdateSQL* updateObject, const QString& table);

// The values of one column, each once (or with duplicates when ordered without distinct).
// Raises "データ取得中にエラーが発生しました。".
QStringList LoadDistinctList(Database& db, const QString& table, const QString& fieldExpression,
                             const QString& orderField, const QString& extraLine,
                             const QString& direction, bool distinctWithOrder, bool trim);

// The start of the message when the data was stored but could not be read again; the reason
// follows it.
inline const QString kStoredButNotReread =
    QStringLiteral("データは保存されましたが、一覧を読み直せませんでした。\r\r");

// The rows were stored but the data set could not be read again; the reason follows.
class EStoredButNotReread : public EError {
  public:
    explicit EStoredButNotReread(const QString& reason) : EError(kStoredButNotReread + reason) {}
};

// Applies the query's cache. Where another user changed, deleted or holds a row since it was
// read, asks whether to write the user's change over theirs, to take theirs (the rest is still
// written) or to go back to editing. False when the user went back: the cache is as it was.
// Raises any other failure.
bool ApplyUpdatesAsking(Query& query);

// Applies the query's cache, closes its connection and opens it again, and reopens the query on
// its first row, its controls redrawn once at the end. Raises what failed. A connection holding
// another data set with unsaved changes refuses to close (Query::ApplyBeforeClose). False,
// with nothing reconnected, when the user went back to editing over a conflict.
bool ApplyReconnectReopen(Query& query);

// Asks about an unsaved record when told to, applies the cache, reconnects and reopens.
// False when the user chose Cancel. Raises "データ更新中にエラーが発生しました。" when the
// save failed, kStoredButNotReread and the reason when only the re-read did.
bool ApplyAndReopen(Query& query, bool ask, bool offerCancel);

// A window's close check: saves the query (asking about an open record), shows a failure and
// says whether the window may close. When the save failed with changes unsaved, the failure is
// shown with the question whether to discard them, and discarding closes. After a failure that
// lost nothing, it may close only when told to let go.
bool SaveBeforeClose(Query& query, bool letGoWhenNothingLost);

QString TrimLeftWide(const QString& text);
QString TrimRightWide(const QString& text);
QString TrimWide(const QString& text);

int BoolToInt(bool value);
bool IntToBool(int value);
