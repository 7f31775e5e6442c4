#include "ui/MessageBox.h"

#include "platform/MessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace {

using namespace Messages;

QMessageBox::StandardButtons ToStandard(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(Kind kind) {
    switch (kind) {
    case Kind::Error:
        return QMessageBox::Critical;
    case Kind::Warning:
        return QMessageBox::Warning;
    case Kind::Question:
        return QMessageBox::Question;
    case Kind::Information:
        break;
    }
    return QMessageBox::Information;
}

Answer FromStandard(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

Answer ShowBox(const Request& request, QWidget* parent) {
    // Windows breaks lines at a bare carriage return; Qt needs a line feed.
    QString shown = request.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(ToIcon(request.kind), request.caption, shown, ToStandard(request.buttons),
                    parent ? parent : QApplication::activeWindow());
    return FromStandard(box.exec());
}

} // namespace

void InstallMessageBoxes() {
    SetPresenter(ShowBox);
}
