#pragma once

#include <firebird/Interface.h>

#include <QString>
#include <utility>
#include <vector>

// The client library's master interfaces and its error handling, in one place.
namespace Fb {

Firebird::IMaster* Master();
Firebird::IUtil* Util();

// Owns one status vector wrapped to throw FbException.
class Status {
  public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }

  private:
    Firebird::ThrowStatusWrapper wrapper_;
};

// The library's own text for a failure.
QString ErrorText(const Firebird::FbException& e);
// The first error code of a failure.
long ErrorCode(const Firebird::FbException& e);
// Every error code of a failure, in order, and the system's error number it carries (0: none).
std::vector<long> ErrorCodes(const Firebird::FbException& e);
int SystemError(const Firebird::FbException& e);
// True when the failure means the connection to the database is gone.
bool IsConnectionLost(const Firebird::FbException& e);

// Owns one reference to an interface of the client library and releases it when it goes. A
// successful commit, detach, close or free releases the interface itself: Ended() then forgets
// it, so that it is not released twice.
template <class T> class Ref {
  public:
    Ref() = default;
    explicit Ref(T* iface) : iface_(iface) {}
    ~Ref() { reset(); }
    Ref(Ref&& other) noexcept : iface_(std::exchange(other.iface_, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            reset();
            iface_ = std::exchange(other.iface_, nullptr);
        }
        return *this;
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    T* get() const { return iface_; }
    T* operator->() const { return iface_; }
    explicit operator bool() const { return iface_ != nullptr; }
    void reset(T* iface = nullptr) {
        if (iface_)
            iface_->release();
        iface_ = iface;
    }
    void Ended() { iface_ = nullptr; }

  private:
    T* iface_ = nullptr;
};

// The provider every attachment and creation goes through, one for the program's life.
Firebird::IProvider* Provider();

} // namespace Fb
