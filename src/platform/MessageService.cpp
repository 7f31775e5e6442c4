#include "platform/MessageService.h"

#include "platform/Error.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace Messages {
namespace {

Responder& CurrentResponder() {
    static Responder responder;
    return responder;
}

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

bool& UnattendedFlag() {
    static bool unattended = false;
    return unattended;
}

Answer UnattendedAnswer(const Request& request) {
    std::fprintf(stderr, "%s\n", qPrintable(request.text));
    switch (request.buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        break;
    }
    return Answer::No;
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

Answer Show(const Request& request, QWidget* parent) {
    if (UnattendedFlag())
        return UnattendedAnswer(request);
    if (CurrentResponder())
        return CurrentResponder()(request);
    // Windows breaks lines at a bare carriage return; Qt needs a line feed.
    QString shown = request.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(ToIcon(request.kind), request.caption, shown, ToStandard(request.buttons),
                    parent ? parent : QApplication::activeWindow());
    return FromStandard(box.exec());
}

QString Title() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Tavrel") : name;
}

} // namespace

void SetUnattended(bool unattended) {
    UnattendedFlag() = unattended;
}
bool Unattended() {
    return UnattendedFlag();
}

void SetResponder(Responder responder) {
    CurrentResponder() = std::move(responder);
}
void ClearResponder() {
    CurrentResponder() = nullptr;
}

void ShowError(const QString& text, QWidget* parent) {
    Show({Kind::Error, Buttons::Ok, QStringLiteral("Tavrel"), text}, parent);
}

void ShowInformation(const QString& text, QWidget* parent) {
    Show({Kind::Information, Buttons::Ok, Title(), text}, parent);
}

void ShowWarning(const QString& text, QWidget* parent) {
    Show({Kind::Warning, Buttons::Ok, Title(), text}, parent);
}

Answer Ask(const QString& text, Buttons buttons, QWidget* parent) {
    return Show({Kind::Question, buttons, Title(), text}, parent);
}

void RunGuarded(const std::function<void()>& work, QWidget* parent) {
    try {
        work();
    } catch (const std::exception& e) {
        ShowError(ExceptionText(e), parent);
    } catch (...) {
        ShowError(QStringLiteral("Unknown error"), parent);
    }
}

} // namespace Messages
