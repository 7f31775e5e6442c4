#include "data/IbFunc.h"

#include "data/Database.h"
#include "data/Query.h"
#include "data/Statement.h"
#include "platform/MessageService.h"
#include "platform/WaitCursor.h"

#include <QCollator>
#include <algorithm>

namespace {

const QChar kWideSpace(0x3000);

// Joins a field list as the generated statements lay it out: one item a line, "," between.
QStringList CommaLines(const QStringList& items) {
    QStringList lines;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral(",");
        lines << items[i];
    }
    return lines;
}

QStringList Prefixed(const QStringList& names, const QString& before, const QString& after = {}) {
    QStringList out;
    for (const QString& name : names)
        out << before + name + after;
    return out;
}

QString ResultColumnName(const QString& fieldExpression) {
    const QString marker = QStringLiteral(") AS");
    const qsizetype at = fieldExpression.indexOf(marker);
    if (at < 0)
        return fieldExpression.toUpper().trimmed();
    return fieldExpression.mid(at + marker.size() + 1).trimmed();
}

QStringList DistinctStatement(const QString& table, const QString& fieldExpression,
                              const QString& orderField, const QString& extraLine,
                              const QString& direction, bool distinctWithOrder) {
    if (orderField.isEmpty())
        return {QStringLiteral("SELECT DISTINCT ") + fieldExpression,
                QStringLiteral("FROM ") + table, extraLine};
    const QString orderLine =
        QStringLiteral("ORDER BY ") + orderField + QLatin1Char(' ') + direction;
    if (distinctWithOrder)
        return {QStringLiteral("SELECT DISTINCT ") + fieldExpression,
                QStringLiteral("FROM ") + table, extraLine, orderLine};
    return {QStringLiteral("SELECT ") + fieldExpression + QLatin1Char(',') + orderField,
            QStringLiteral("FROM ") + table, extraLine, orderLine};
}

void SortByDirection(QStringList& list, const QString& direction) {
    const bool asc = direction.startsWith(QLatin1String("ASC"), Qt::CaseInsensitive);
    const bool desc = direction.startsWith(QLatin1String("DESC"), Qt::CaseInsensitive);
    if (!asc && !desc)
        return;
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(list.begin(), list.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    if (desc)
        std::reverse(list.begin(), list.end());
}

QStringList ReadColumn(Database& db, Transaction& tr, const QStringList& lines,
                       const QString& column, bool trim) {
    Statement stmt(db, tr);
    stmt.Prepare(lines.join(QStringLiteral("\r\n")));
    int index = -1;
    for (size_t i = 0; i < stmt.Columns().size(); ++i)
        if (stmt.Columns()[i].name.compare(column, Qt::CaseInsensitive) == 0)
            index = static_cast<int>(i);
    if (index < 0)
        throw EError(QStringLiteral("Field '%1' not found").arg(column));
    QStringList list;
    stmt.Open({});
    RowValues row;
    while (stmt.Fetch(&row)) {
        const QString text = row[static_cast<size_t>(index)].value.toString();
        list << (trim ? TrimWide(text) : text);
    }
    return list;
}

bool IsControlOrBlank(QChar c) {
    return c.unicode() <= 0x20;
}

QString TrimControls(const QString& text, bool left, bool right) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (left && begin < end && IsControlOrBlank(text.at(begin)))
        ++begin;
    while (right && end > begin && IsControlOrBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool IsBlank(QChar c) {
    return c == kWideSpace || c == QLatin1Char(' ');
}

} // namespace

bool GenerateUpdateSql(Query& query, TUpdateSQL* updateObject, const QString& table) {
    try {
        if (!updateObject || !query.Active())
            throw EError(QStringLiteral("query not open"));
        *updateObject = TUpdateSQL{};
        query.FieldDefsUpdate();
        QStringList names;
        for (int i = 0; i < query.FieldCount(); ++i)
            names << query.Column(i).name;
        const QString where = QStringLiteral("WHERE (ID=:OLD_ID)");
        updateObject->DeleteSQL = {QStringLiteral("DELETE FROM ") + table, where};
        updateObject->InsertSQL =
            QStringList{QStringLiteral("INSERT INTO ") + table, QStringLiteral("(")} +
            CommaLines(names) + QStringList{QStringLiteral(")"), QStringLiteral("VALUES (")} +
            CommaLines(Prefixed(names, QStringLiteral(":"))) + QStringList{QStringLiteral(")")};
        QStringList sets;
        for (const QString& name : names)
            sets << name + QStringLiteral("=:") + name;
        updateObject->ModifySQL =
            QStringList{QStringLiteral("UPDATE ") + table, QStringLiteral("SET")} +
            CommaLines(sets) + QStringList{where};
        updateObject->RefreshSQL = {QStringLiteral("SELECT * FROM ") + table, where};
    } catch (...) {
        throw EError(QStringLiteral("UpdateSQL Set Error"));
    }
    return true;
}

QStringList LoadDistinctList(Database& db, const QString& table, const QString& fieldExpression,
                             const QString& orderField, const QString& extraLine,
                             const QString& direction, bool distinctWithOrder, bool trim) {
    const QString column = ResultColumnName(fieldExpression);
    WaitCursor wait;
    QStringList list;
    Transaction tr;
    try {
        tr.SetDefaultDatabase(&db);
        tr.StartTransaction();
        list = ReadColumn(db, tr,
                          DistinctStatement(table, fieldExpression, orderField, extraLine,
                                            direction, distinctWithOrder),
                          column, trim);
        tr.Commit();
    } catch (...) {
        try {
            tr.Rollback();
        } catch (...) {
        }
        throw EError(QStringLiteral("データ取得中にエラーが発生しました。"));
    }
    if (orderField.isEmpty())
        SortByDirection(list, direction);
    return list;
}

namespace {

Messages::Answer AskYesNo(const QString& text, bool offerCancel) {
    return Messages::Ask(text,
                         offerCancel ? Messages::Buttons::YesNoCancel : Messages::Buttons::YesNo);
}

bool AskAboutOpenRecord(Query& query, bool offerCancel) {
    const auto answer =
        AskYesNo(QStringLiteral("未登録のデータがあります。\r\r登録しますか？"), offerCancel);
    if (answer == Messages::Answer::Cancel)
        return false;
    if (answer == Messages::Answer::Yes)
        query.Post();
    else
        query.Cancel();
    return true;
}

// After an apply whose commit may or may not have reached the database, only the user can say
// whether the kept changes are to be written again (No drops them and re-reads what is stored).
bool AskAboutUncertainApply(Query& query, bool offerCancel) {
    const auto answer = AskYesNo(
        QStringLiteral("前回の保存が完了したかどうか分かりません。変更は既に保存されている可能性が"
                       "あります。\r\rもう一度登録しますか？"),
        offerCancel);
    if (answer == Messages::Answer::Cancel)
        return false;
    if (answer == Messages::Answer::Yes)
        query.AllowReapply();
    else
        query.CancelUpdates();
    return true;
}

Messages::Answer AskAboutConflict(const EUpdateConflict& conflict) {
    return Messages::Ask(conflict.message() +
                             QStringLiteral("\r\rはい：自分の変更で上書きします。"
                                            "\rいいえ：他のユーザーの変更を残し、この変更は"
                                            "取り消します（ほかの変更は登録します）。"
                                            "\rキャンセル：編集に戻ります。"),
                         Messages::Buttons::YesNoCancel);
}

} // namespace

bool ApplyUpdatesAsking(Query& query) {
    for (;;) {
        try {
            query.ApplyUpdates();
            return true;
        } catch (const EUpdateConflict& conflict) {
            switch (AskAboutConflict(conflict)) {
            case Messages::Answer::Yes:
                query.KeepMyChange();
                break;
            case Messages::Answer::No:
                query.TakeTheirChange();
                break;
            default:
                return false;
            }
        }
    }
}

bool ApplyReconnectReopen(Query& query) {
    Database* db = query.GetDatabase();
    if (!db)
        throw EError(QStringLiteral("Database not assigned"));
    if (query.UpdatesPending() && !ApplyUpdatesAsking(query))
        return false;
    // The rows are stored now; a failing re-read (a database file turned read-only or gone)
    // must not be reported as a failed save.
    query.DisableControls();
    try {
        db->Close();
        db->Open();
        query.Open();
    } catch (const std::exception& e) {
        query.EnableControls();
        throw EStoredButNotReread(ExceptionText(e));
    }
    query.EnableControls();
    return true;
}

bool ApplyAndReopen(Query& query, bool ask, bool offerCancel) {
    try {
        if (ask && !AskAboutOpenRecord(query, offerCancel))
            return false;
        if (query.ApplyOutcomeUnknown() && !AskAboutUncertainApply(query, offerCancel))
            return false;
        if (!ApplyReconnectReopen(query))
            return false;
    } catch (const EApplyOutcomeUnknown&) {
        throw; // the user must read this one as it is
    } catch (const EStoredButNotReread&) {
        throw;
    } catch (const std::exception& e) {
        // The fixed message, and what went wrong for the user to act on.
        throw EError(QStringLiteral("データ更新中にエラーが発生しました。\r\r") + ExceptionText(e));
    } catch (...) {
        throw EError(QStringLiteral("データ更新中にエラーが発生しました。"));
    }
    return true;
}

namespace {

// A window that cannot save must still close: the user may give up the changes, once asked.
bool DiscardToClose(Query& query, const std::exception& e) {
    const auto answer = Messages::Ask(
        ExceptionText(e) + QStringLiteral("\r\r保存できなかった変更を破棄して閉じますか？"),
        Messages::Buttons::YesNo);
    if (answer != Messages::Answer::Yes)
        return false;
    query.Cancel();
    try {
        query.CancelUpdates(); // re-reads when it can; the window goes either way
    } catch (...) {
    }
    return true;
}

} // namespace

bool SaveBeforeClose(Query& query, bool letGoWhenNothingLost) {
    // Never opened (no database): there is nothing to save.
    if (!query.Active())
        return true;
    auto editing = [&query] {
        return query.State() == DataSetState::Edit || query.State() == DataSetState::Insert;
    };
    try {
        return ApplyAndReopen(query, editing(), true);
    } catch (const std::exception& e) {
        if (!query.UpdatesPending() && !editing()) {
            Messages::ShowError(ExceptionText(e));
            return letGoWhenNothingLost;
        }
        return DiscardToClose(query, e);
    }
}

QString TrimLeftWide(const QString& text) {
    QString s = TrimControls(text, true, false);
    qsizetype i = 0;
    while (i < s.size() && IsBlank(s.at(i)))
        ++i;
    return TrimControls(s.mid(i), true, false);
}

QString TrimRightWide(const QString& text) {
    QString s = TrimControls(text, false, true);
    qsizetype end = s.size();
    while (end > 0 && IsBlank(s.at(end - 1)))
        --end;
    return TrimControls(s.left(end), false, true);
}

QString TrimWide(const QString& text) {
    return TrimControls(TrimRightWide(TrimLeftWide(TrimControls(text, true, true))), true, true);
}

int BoolToInt(bool value) {
    return value ? 1 : 0;
}
bool IntToBool(int value) {
    return value == 1;
}
