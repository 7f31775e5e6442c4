#pragma once

#include <QByteArray>

class QTextDocument;

// Replaces the content of doc with the stored label text. Bytes that begin with "{\rtf" are
// read as RTF, anything else as Shift-JIS plain text, and empty bytes give an empty document.
// Damaged RTF yields whatever could be read. Returns false, leaving doc empty, only when doc
// is null or the bytes claim to be RTF but have no readable header; the caller then loads
// the same bytes with PlainTextRead, as a rich edit control falls back to plain text.
bool RtfRead(const QByteArray& data, QTextDocument* doc);

// Replaces the content of doc with Shift-JIS text, one paragraph per line, in the default
// character format.
void PlainTextRead(const QByteArray& data, QTextDocument* doc);
