#include "model/MergeDesign.h"

#include "model/MergeList.h"
#include "platform/BarcodeField.h"
#include "platform/BarcodeText.h"
#include "platform/Error.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace MergeDesign {

namespace {

// One field's result in a paragraph: its characters and the column it names.
struct FieldSpan {
    int start;
    int end;
    QString name;
    QTextCharFormat format; // of its first character
};

std::vector<FieldSpan> MergeFields(const QTextBlock& block) {
    std::vector<FieldSpan> spans;
    int lastId = 0;
    QString lastInstruction;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (!fragment.isValid() || !RichFormat::IsField(format))
            continue;
        const QString name = MergeField::NameOf(RichFormat::FieldInstruction(format));
        if (name.isEmpty())
            continue;
        const int end = fragment.position() + fragment.length();
        const bool sameField = !spans.empty() && spans.back().end == fragment.position() &&
                               RichFormat::FieldId(format) == lastId &&
                               RichFormat::FieldInstruction(format) == lastInstruction;
        if (sameField)
            spans.back().end = end;
        else
            spans.push_back({fragment.position(), end, name, format});
        lastId = RichFormat::FieldId(format);
        lastInstruction = RichFormat::FieldInstruction(format);
    }
    return spans;
}

// Text as one line of a label: line breaks of any kind break the line, other control codes go.
QString LabelText(const QString& value) {
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
            continue;
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator)
            text += QChar::LineSeparator;
        else if (c == u'\t' || c.unicode() >= 0x20)
            text += c;
    }
    return text;
}

bool IsBlank(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isSpace() || c == QChar(0x3000) || c == QChar::LineSeparator;
    });
}

// Whether every field of the paragraph came out empty with nothing but blanks around them.
bool IsBlankLine(const QTextBlock& block, const std::vector<FieldSpan>& spans,
                 const std::vector<QString>& values) {
    if (spans.empty())
        return false;
    for (const QString& value : values)
        if (!IsBlank(value))
            return false;
    const QString text = block.text();
    int from = block.position();
    for (const FieldSpan& span : spans) {
        if (!IsBlank(QStringView(text).mid(from - block.position(), span.start - from)))
            return false;
        from = span.end;
    }
    return IsBlank(QStringView(text).mid(from - block.position()));
}

void RemoveBlock(QTextDocument& doc, const QTextBlock& block) {
    QTextCursor cursor(&doc);
    const bool last = !block.next().isValid();
    if (last && block.previous().isValid()) {
        cursor.setPosition(block.position() - 1);
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    } else if (!last) {
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length(), QTextCursor::KeepAnchor);
    } else {
        cursor.setPosition(block.position());
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

std::vector<std::pair<int, QTextCharFormat>> Barcodes(const QTextBlock& block) {
    std::vector<std::pair<int, QTextCharFormat>> barcodes;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (BarcodeText::IsObject(it.fragment().charFormat()))
            for (int i = 0; i < it.fragment().length(); ++i)
                barcodes.emplace_back(it.fragment().position() + i, it.fragment().charFormat());
    return barcodes;
}

// A barcode keeps its instruction and gets the row's data beside it.
void ResolveBarcodes(QTextDocument& doc, const QTextBlock& block, const MergeList& list, int row) {
    const auto value = [&](const QString& name) {
        const int column = list.ColumnIndex(name);
        return column < 0 ? QString() : list.rows.at(row).at(column);
    };
    QTextCursor cursor(&doc);
    for (auto [position, format] : Barcodes(block)) {
        const auto field = BarcodeField::Parse(RichFormat::FieldInstruction(format));
        if (!field)
            continue;
        format.setProperty(BarcodeText::ResolvedDataProperty,
                           BarcodeField::Resolved(*field, value).data);
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(format);
    }
}

void SubstituteBlock(QTextDocument& doc, const QTextBlock& block, const MergeList& list, int row,
                     bool dropBlankLines) {
    ResolveBarcodes(doc, block, list, row);
    const std::vector<FieldSpan> spans = MergeFields(block);
    std::vector<QString> values;
    values.reserve(spans.size());
    for (const FieldSpan& span : spans) {
        const int column = list.ColumnIndex(span.name);
        values.push_back(column < 0 ? QString() : LabelText(list.rows.at(row).at(column)));
    }
    if (dropBlankLines && IsBlankLine(block, spans, values)) {
        RemoveBlock(doc, block);
        return;
    }
    QTextCursor cursor(&doc);
    for (std::size_t i = spans.size(); i-- > 0;) {
        QTextCharFormat format = spans[i].format;
        RichFormat::ClearField(format);
        cursor.setPosition(spans[i].start);
        cursor.setPosition(spans[i].end, QTextCursor::KeepAnchor);
        cursor.insertText(values[i], format);
    }
}

} // namespace

QStringList FieldNames(const QTextDocument& doc) {
    QStringList names;
    const auto add = [&](const QString& name) {
        if (!names.contains(name))
            names.append(name);
    };
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (const FieldSpan& span : MergeFields(block))
            add(span.name);
        for (const auto& barcode : Barcodes(block))
            if (const auto field =
                    BarcodeField::Parse(RichFormat::FieldInstruction(barcode.second)))
                for (const QString& name : BarcodeField::ColumnNames(*field))
                    add(name);
    }
    return names;
}

void CheckColumns(const QTextDocument& doc, const MergeList& list) {
    QStringList missing;
    for (const QString& name : FieldNames(doc))
        if (list.ColumnIndex(name) < 0)
            missing.append(name);
    if (!missing.isEmpty())
        throw EError(
            QStringLiteral("差し込みデータに次の列がありません: %1（データの列: %2）")
                .arg(missing.join(QStringLiteral("、")), list.columns.join(QStringLiteral("、"))));
}

void Substitute(QTextDocument& doc, const MergeList& list, int row, bool dropBlankLines) {
    if (row < 0 || static_cast<std::size_t>(row) >= list.rows.size())
        return;
    std::vector<QTextBlock> blocks;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        blocks.push_back(block);
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        SubstituteBlock(doc, *it, list, row, dropBlankLines);
    edit.endEditBlock();
}

} // namespace MergeDesign
