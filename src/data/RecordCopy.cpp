#include "data/RecordCopy.h"

#include "data/Query.h"
#include "platform/Error.h"
#include "platform/MessageService.h"

#include <QDateTime>
#include <QLocale>
#include <vector>

namespace {

enum class KindClass { Text, WholeNumber, Boolean, Real, DateTime, NonText, Other };

KindClass ClassOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::String:
    case FieldKind::Memo:
    case FieldKind::FixedChar:
    case FieldKind::WideString:
        return KindClass::Text;
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::LargeInt:
        return KindClass::WholeNumber;
    case FieldKind::Boolean:
        return KindClass::Boolean;
    case FieldKind::Float:
    case FieldKind::Currency:
    case FieldKind::BCD:
        return KindClass::Real;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        return KindClass::DateTime;
    case FieldKind::Bytes:
    case FieldKind::VarBytes:
    case FieldKind::AutoInc:
    case FieldKind::Blob:
    case FieldKind::Graphic:
    case FieldKind::FmtMemo:
    case FieldKind::ParadoxOle:
    case FieldKind::DBaseOle:
    case FieldKind::TypedBinary:
    case FieldKind::Cursor:
    case FieldKind::ADT:
    case FieldKind::Array:
    case FieldKind::Reference:
    case FieldKind::DataSet:
    case FieldKind::OraBlob:
    case FieldKind::OraClob:
    case FieldKind::Variant:
    case FieldKind::Interface:
    case FieldKind::IDispatch:
    case FieldKind::Guid:
    case FieldKind::TimeStamp:
    case FieldKind::FMTBcd:
        return KindClass::NonText;
    default:
        return KindClass::Other;
    }
}

QVariant WholeNumber(const QString& token) {
    bool ok = false;
    const int n = token.trimmed().toInt(&ok, 10);
    return ok ? n : 0;
}

QVariant Real(const QString& token) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double d = locale.toDouble(token.trimmed(), &ok);
    return ok ? QVariant(d) : QVariant();
}

// A two-digit year means the one within fifty years of today.
QDate InCenturyWindow(QDate d, const QString& format) {
    if (!d.isValid() || format.contains(QLatin1String("yyyy")))
        return d;
    const int now = QDate::currentDate().year();
    while (d.year() < now - 50)
        d = d.addYears(100);
    return d;
}

QVariant DateTimeValue(const QString& token, FieldKind kind) {
    const QLocale locale = QLocale::system();
    const QString text = token.trimmed();
    if (kind == FieldKind::Time) {
        const QTime t = locale.toTime(text, QLocale::ShortFormat);
        return t.isValid() ? QVariant(t) : QVariant();
    }
    if (kind == FieldKind::Date) {
        const QString format = locale.dateFormat(QLocale::ShortFormat);
        const QDate d = InCenturyWindow(locale.toDate(text, format), format);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    const QString format = locale.dateTimeFormat(QLocale::ShortFormat);
    QDateTime dt = locale.toDateTime(text, format);
    if (!dt.isValid())
        return {};
    dt.setDate(InCenturyWindow(dt.date(), format));
    return dt;
}

} // namespace

bool IsNonTextField(FieldKind kind) {
    return ClassOf(kind) == KindClass::NonText;
}

QVariant TextToFieldValue(const QString& token, FieldKind kind) {
    try {
        switch (ClassOf(kind)) {
        case KindClass::Text:
            return token;
        case KindClass::WholeNumber:
            return WholeNumber(token);
        case KindClass::Boolean:
            return !token.isEmpty() &&
                   QStringLiteral("TRUEYES-1").contains(token, Qt::CaseInsensitive);
        case KindClass::Real:
            return Real(token);
        case KindClass::DateTime:
            return DateTimeValue(token, kind);
        default:
            return {};
        }
    } catch (...) {
        return ClassOf(kind) == KindClass::WholeNumber ? QVariant(0) : QVariant();
    }
}

bool CopyCurrentRecord(Query& dataSet, const QString& notCopied, bool confirm) {
    if (confirm &&
        Messages::Ask(QStringLiteral("現在のレコードをコピーして追加します。\r\r実行しますか？"),
                      Messages::Buttons::YesNo) != Messages::Answer::Yes)
        return false;
    try {
        dataSet.FieldDefsUpdate();
        auto copied = [&](int i) {
            return notCopied.isEmpty() ||
                   dataSet.Fields(i).FieldName().compare(notCopied, Qt::CaseInsensitive) != 0;
        };
        std::vector<QVariant> values;
        for (int i = 0; i < dataSet.FieldCount(); ++i)
            values.push_back(copied(i) ? dataSet.Fields(i).Value() : QVariant());
        const int newId = dataSet.FieldByName(QStringLiteral("ID")).AsInteger() + 1;
        dataSet.Insert();
        for (int i = 0; i < dataSet.FieldCount(); ++i)
            if (copied(i))
                dataSet.Fields(i).SetValue(values[static_cast<size_t>(i)]);
        dataSet.FieldByName(QStringLiteral("ID")).SetValue(newId);
    } catch (...) {
        throw EError(QStringLiteral("レコードのコピーに失敗しました。"));
    }
    return true;
}
