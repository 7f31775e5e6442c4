#pragma once

#include <QList>
#include <QTextEdit>

class QColor;
class QPainter;
class QTextDocument;

// Bold text in the editor is drawn as it prints. For a face without a bold of its own the font
// engine thickens the outlines itself, about twice as much as the PDF writer strokes them below
// 64 pixels and not at all above; that fills in a Mincho face's thin strokes. So the text edit
// draws bold runs invisibly and they are drawn again over it, stroked as on paper.
namespace BoldRuns {

// Selections that make the text edit draw every bold run invisibly, on what lies beneath it:
// its own background, a field's shading, or else paper.
QList<QTextEdit::ExtraSelection> Covers(const QTextDocument& doc, const QColor& paper);

// Draws the bold runs the covers hid, in document coordinates, except the characters from
// selectionStart to selectionEnd, which the text edit draws highlighted. Text of the automatic
// colour is drawn in automatic.
void Draw(QPainter& painter, const QTextDocument& doc, const QColor& automatic, int selectionStart,
          int selectionEnd);

} // namespace BoldRuns
