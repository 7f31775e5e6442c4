#include "platform/MessageService.h"

#include "platform/Error.h"

#include <QGuiApplication>
#include <cstdio>

namespace Messages {
namespace {

Responder& CurrentResponder() {
    static Responder responder;
    return responder;
}

Presenter& CurrentPresenter() {
    static Presenter presenter;
    return presenter;
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

Answer Show(const Request& request, QWidget* parent) {
    if (UnattendedFlag())
        return UnattendedAnswer(request);
    if (CurrentResponder())
        return CurrentResponder()(request);
    if (CurrentPresenter())
        return CurrentPresenter()(request, parent);
    return UnattendedAnswer(request);
}

QString Title() {
    const QString name = QGuiApplication::applicationDisplayName();
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

void SetPresenter(Presenter presenter) {
    CurrentPresenter() = std::move(presenter);
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
