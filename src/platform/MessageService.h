#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;

// Every message box and question of the program goes through here, so tests can answer them.
namespace Messages {

enum class Kind { Error, Information, Warning, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct Request {
    Kind kind;
    Buttons buttons;
    QString caption;
    QString text;
};

// Replaces the real boxes; the function returns the answer a user would give.
using Responder = std::function<Answer(const Request&)>;
void SetResponder(Responder responder);
void ClearResponder();

// The real boxes, which the windows put in place; without them a text goes to the standard
// error and a question gets the answer that starts nothing new.
using Presenter = std::function<Answer(const Request&, QWidget* parent)>;
void SetPresenter(Presenter presenter);

// While the program ends without a user (a signal at log-out), nothing is shown: texts go to
// the standard error and every question gets the answer that starts nothing new (No, or
// Cancel where there is no No).
void SetUnattended(bool unattended);
bool Unattended();

// Error box captioned with the application title ("Tavrel").
void ShowError(const QString& text, QWidget* parent = nullptr);
void ShowInformation(const QString& text, QWidget* parent = nullptr);
void ShowWarning(const QString& text, QWidget* parent = nullptr);
Answer Ask(const QString& text, Buttons buttons, QWidget* parent = nullptr);

// Runs a handler's work; an exception is shown in the error box and goes no further, so none
// ever leaves a slot.
void RunGuarded(const std::function<void()>& work, QWidget* parent = nullptr);

} // namespace Messages
