#pragma once

#include "platform/Version.h"

#include <QString>

class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QRect;
class QSize;
class QStatusBar;
class QWidget;
class TApplicationEvents;

// What the two settings dialogs share.
namespace DialogParts {

inline const QString kCaptionPrefix = TavrelVersionCaption();

// A fixed-size window with a title and a system menu only, of the given client size.
void MakeFixedDialog(QDialog* dialog, const QSize& client);

// The status bar: "F1ヘルプ" and the hint panel, fed by the window's own hint hook; F1 opens
// the window's help context.
struct HintStatus {
    QStatusBar* bar = nullptr;
    QLabel* hintPanel = nullptr;
    TApplicationEvents* events = nullptr;
};
HintStatus MakeHintStatus(QDialog* dialog, int helpContext);
// OK (the default button) and cancel close the dialog with their results.
void ConnectOkCancel(QDialog* dialog, QPushButton* ok, QPushButton* cancel);

QGroupBox* MakeGroup(QWidget* parent, const QString& title, const QRect& geometry,
                     const QString& hint = {});
QPushButton* MakeButton(QWidget* parent, const QString& text, const QRect& geometry,
                        const QString& hint = {});

} // namespace DialogParts
