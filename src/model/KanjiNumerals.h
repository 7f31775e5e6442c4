#pragma once

#include <QString>

class QTextDocument;

// Arabic numerals written as kanji numerals, digit by digit, as addresses set vertically are:
// 1 becomes 一, 10 becomes 一〇, and the hyphen of 1-2-3 becomes ―.
namespace KanjiNumerals {

QString Convert(const QString& text);

// Converts the whole text, each character keeping its own formatting.
void Apply(QTextDocument& doc);

} // namespace KanjiNumerals
