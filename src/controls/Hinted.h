#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// A control's hint shows both as its tooltip and in the window's status bar.
inline void SetHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

// A caption placed at a fixed point, carrying the hint of the control it names.
inline QLabel* MakeLabel(QWidget* parent, const QString& text, const QPoint& at,
                         const QString& hint = {}) {
    auto* label = new QLabel(text, parent);
    label->move(at);
    SetHint(label, hint);
    return label;
}

// The status bar panel that shows the current hint: a long hint is cut off there and never
// widens its window.
inline QLabel* MakeHintPanel() {
    auto* panel = new QLabel;
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return panel;
}
