#pragma once

#include <QString>
#include <stdexcept>

// Every failure of the program is one of these, carrying one short fixed message.
class EError : public std::runtime_error {
  public:
    explicit EError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// Text of any exception, for error boxes.
inline QString ExceptionText(const std::exception& e) {
    if (auto* err = dynamic_cast<const EError*>(&e))
        return err->message();
    return QString::fromUtf8(e.what());
}
