#pragma once

#include <QByteArray>

class QTextDocument;

// The whole document as RTF in the form a Windows rich edit control streams out and reads
// back: code page 932, Shift-JIS \'xx escapes under \fcharset128 fonts and \uN? for every
// character without a form there, so no character is ever lost. Never fails.
QByteArray RtfWrite(const QTextDocument& doc);
