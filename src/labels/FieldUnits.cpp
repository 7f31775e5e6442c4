#include "labels/FieldUnits.h"

#include "platform/BarcodeText.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>
#include <vector>

namespace FieldUnits {

const QColor& Shade() {
    static const QColor shade(0xD8, 0xD8, 0xD8);
    return shade;
}

namespace {

bool SameField(const QTextCharFormat& a, const QTextCharFormat& b) {
    return RichFormat::IsField(a) && RichFormat::IsField(b) &&
           RichFormat::FieldId(a) == RichFormat::FieldId(b) &&
           RichFormat::FieldInstruction(a) == RichFormat::FieldInstruction(b);
}

// Fields are whole within a paragraph: neighbouring fragments of one field make one span.
template <typename Visit> void ForEachField(const QTextBlock& block, Visit visit) {
    std::optional<Span> span;
    QTextCharFormat last;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const int end = fragment.position() + fragment.length();
        if (span && SameField(last, format) && span->end == fragment.position()) {
            span->end = end;
            continue;
        }
        if (span && !visit(*span))
            return;
        span.reset();
        if (RichFormat::IsField(format))
            span = Span{fragment.position(), end};
        last = format;
    }
    if (span)
        visit(*span);
}

int MaxFieldId(const QTextDocument& doc) {
    int id = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (RichFormat::IsField(it.fragment().charFormat()))
                id = std::max(id, RichFormat::FieldId(it.fragment().charFormat()));
    return id;
}

} // namespace

std::optional<Span> FieldAt(const QTextDocument& doc, int position) {
    std::optional<Span> found;
    ForEachField(doc.findBlock(position), [&](const Span& span) {
        if (span.start <= position && position < span.end)
            found = span;
        return !found;
    });
    return found;
}

bool SnapOutOfFields(QTextCursor& cursor, bool forward) {
    const QTextDocument& doc = *cursor.document();
    int position = cursor.position();
    int anchor = cursor.anchor();
    if (const auto span = FieldAt(doc, position); span && span->start < position)
        position = forward ? span->end : span->start;
    if (!cursor.hasSelection())
        anchor = position;
    else if (const auto span = FieldAt(doc, anchor); span && span->start < anchor)
        anchor = anchor <= position ? span->start : span->end;
    if (position == cursor.position() && anchor == cursor.anchor())
        return false;
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    return true;
}

bool SelectFieldToDelete(QTextCursor& cursor, bool backward) {
    if (cursor.hasSelection())
        return false;
    const int at = backward ? cursor.position() - 1 : cursor.position();
    const auto span = at >= 0 ? FieldAt(*cursor.document(), at) : std::nullopt;
    if (!span)
        return false;
    cursor.setPosition(span->start);
    cursor.setPosition(span->end, QTextCursor::KeepAnchor);
    return true;
}

QList<QTextEdit::ExtraSelection> Shades(const QTextDocument& doc) {
    QList<QTextEdit::ExtraSelection> shades;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        ForEachField(block, [&](const Span& span) {
            QTextEdit::ExtraSelection shade;
            shade.cursor = QTextCursor(const_cast<QTextDocument*>(&doc));
            shade.cursor.setPosition(span.start);
            shade.cursor.setPosition(span.end, QTextCursor::KeepAnchor);
            shade.format.setBackground(Shade());
            shades.append(shade);
            return true;
        });
    return shades;
}

void InsertMergeField(QTextCursor& cursor, const QString& name) {
    QTextCharFormat format = cursor.charFormat();
    RichFormat::SetField(format, MergeField::Instruction(name), MaxFieldId(*cursor.document()) + 1);
    cursor.insertText(MergeField::Placeholder(name), format);
}

void InsertFragment(QTextCursor& cursor, QTextDocument& pasted) {
    const int offset = MaxFieldId(*cursor.document());
    std::vector<std::pair<QTextCursor, int>> fields;
    for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!RichFormat::IsField(fragment.charFormat()))
                continue;
            QTextCursor range(&pasted);
            range.setPosition(fragment.position());
            range.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            fields.emplace_back(range, RichFormat::FieldId(fragment.charFormat()) + offset);
        }
    }
    for (auto& [range, id] : fields) {
        QTextCharFormat renumbered;
        renumbered.setProperty(RichFormat::FieldIdProperty, id);
        range.mergeCharFormat(renumbered);
    }
    cursor.insertFragment(QTextDocumentFragment(&pasted));
}

void InsertBarcode(QTextCursor& cursor, const QString& instruction) {
    BarcodeText::Insert(cursor, instruction, MaxFieldId(*cursor.document()) + 1);
}

} // namespace FieldUnits
