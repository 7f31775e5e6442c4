#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <cstdint>

// What the fuzz targets share: the input as bytes or as a file, and the rule that a reader
// refuses bad input with its own error and never with anything else.
namespace FuzzInput {

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Replaces the file with the bytes; false when it cannot be written (the input is skipped).
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// For targets that draw: text and pictures need the application's font and platform setup.
// Called from LLVMFuzzerInitialize, whose arguments the application keeps.
inline void StartGuiApplication(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
}

// Runs a reader; its own error is an answer, an error without a message is a fault, and any
// other exception escapes to the fuzzer.
template <class Read> void Refused(Read&& read) {
    try {
        read();
    } catch (const EError& e) {
        if (e.message().isEmpty())
            __builtin_trap();
    }
}

} // namespace FuzzInput
