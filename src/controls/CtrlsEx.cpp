#include "controls/CtrlsEx.h"

#include <QKeyEvent>
#include <QTimer>

TEditEx::TEditEx(QWidget* parent) : QLineEdit(parent) {
    // Selected whole once the box exists, as after loading a window.
    QTimer::singleShot(0, this, [this] { selectAll(); });
}

void TEditEx::SetAlignment(Qt::Alignment alignment) {
    if (alignment != this->alignment())
        setAlignment(alignment);
}

void TEditEx::SetThousands(bool thousands) {
    if (thousands == thousands_)
        return;
    thousands_ = thousands;
    if (thousands_)
        Regroup();
}

QString TEditEx::Grouped(const QString& plain) {
    QString text = plain;
    for (qsizetype n = text.size(); n > 3;) {
        n -= 3;
        text.insert(n, QLatin1Char(','));
    }
    return text;
}

QString TEditEx::Text() const {
    QString value = text();
    if (thousands_)
        value.remove(QLatin1Char(','));
    return value;
}

void TEditEx::SetText(const QString& value) {
    setText(thousands_ ? Grouped(value) : value);
}

void TEditEx::Regroup() {
    const QString shown = text();
    const qsizetype length = shown.size();
    const qsizetype start = hasSelectedText() ? selectionStart() : cursorPosition();
    const qsizetype end = hasSelectedText() ? selectionEnd() : cursorPosition();
    const qsizetype fromStart = length - start;
    const qsizetype fromEnd = length - end;
    QString plain = shown;
    plain.remove(QLatin1Char(','));
    const QString grouped = Grouped(plain);
    setText(grouped);
    const qsizetype newLength = grouped.size();
    const int newStart = static_cast<int>(std::max<qsizetype>(0, newLength - fromStart));
    const int newEnd = static_cast<int>(std::max<qsizetype>(0, newLength - fromEnd));
    if (newStart == newEnd)
        setCursorPosition(newEnd);
    else
        setSelection(newStart, newEnd - newStart);
}

void TEditEx::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Left to the window, so its default button still fires.
        event->ignore();
        return;
    }
    const bool typed = !event->text().isEmpty() &&
                       (event->text().at(0).isPrint() || event->key() == Qt::Key_Backspace);
    QLineEdit::keyPressEvent(event);
    if (typed && thousands_)
        Regroup();
}
