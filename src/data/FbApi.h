#pragma once

#include <firebird/Interface.h>

#include <QString>

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
// True when the failure means the connection to the database is gone.
bool IsConnectionLost(const Firebird::FbException& e);

// Releases an interface that was not ended by a successful close, detach, commit or free.
template <class T> void ReleaseQuietly(T*& iface) {
    if (iface)
        iface->release();
    iface = nullptr;
}

} // namespace Fb
