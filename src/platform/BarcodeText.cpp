#include "platform/BarcodeText.h"

#include "platform/BarcodeField.h"
#include "platform/RichFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace BarcodeText {

namespace {

struct Span {
    int start;
    int end;
    QTextCharFormat format;
};

bool IsBarcodeResult(const QTextCharFormat& format) {
    return RichFormat::IsField(format) && !IsObject(format) &&
           BarcodeField::Parse(RichFormat::FieldInstruction(format)).has_value();
}

std::vector<Span> BarcodeResults(const QTextDocument& doc) {
    std::vector<Span> spans;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!fragment.isValid() || !IsBarcodeResult(format))
                continue;
            const int end = fragment.position() + fragment.length();
            // A result that runs over a paragraph mark is still one barcode.
            if (!spans.empty() &&
                RichFormat::FieldId(spans.back().format) == RichFormat::FieldId(format))
                spans.back().end = end;
            else
                spans.push_back({fragment.position(), end, format});
        }
    }
    return spans;
}

} // namespace

bool IsObject(const QTextCharFormat& format) {
    return format.objectType() == BarcodeField::ObjectType;
}

QTextCharFormat ObjectFormat(QTextCharFormat base, const QString& instruction, int fieldId) {
    base.setObjectType(BarcodeField::ObjectType);
    base.clearProperty(ResolvedDataProperty);
    RichFormat::SetField(base, instruction, fieldId);
    return base;
}

void MakeObjects(QTextDocument& doc) {
    const std::vector<Span> spans = BarcodeResults(doc);
    if (spans.empty())
        return;
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
        cursor.setPosition(it->start);
        cursor.setPosition(it->end, QTextCursor::KeepAnchor);
        Insert(cursor, RichFormat::FieldInstruction(it->format), RichFormat::FieldId(it->format));
    }
    cursor.endEditBlock();
}

void Insert(QTextCursor& cursor, const QString& instruction, int fieldId) {
    QTextCharFormat base = cursor.charFormat();
    if (cursor.hasSelection()) {
        QTextCursor first(cursor.document());
        first.setPosition(cursor.selectionStart() + 1);
        base = first.charFormat();
    }
    cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                      ObjectFormat(base, instruction, fieldId));
}

} // namespace BarcodeText
