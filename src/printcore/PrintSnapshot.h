#pragma once

#include <QString>

class Query;

// The print snapshot: every row of a data set with all its columns, blobs included, in a file
// of the program's own (a fixed header, the columns by name and kind, the rows, a digest).
namespace PrintSnapshot {

inline constexpr quint16 kVersion = 1;

// Replaces the file with the rows of an open data set. Raises "印刷データ作成に失敗しました。".
void Save(Query& dataSet, const QString& path);
// Makes the data set an open in-memory data set holding the file's rows; the file is only read.
// A missing, truncated, damaged or foreign file raises "印刷データ作成に失敗しました。".
void Load(const QString& path, Query& dataSet);
// Makes into an open in-memory data set holding the rows of dataSet, blobs read, as saving and
// loading a file would, without the file. Raises "印刷データ作成に失敗しました。".
void Copy(Query& dataSet, Query& into);

} // namespace PrintSnapshot

// Writes all rows of an open data set to the snapshot file of the settings (SnapshotPath).
// True when written; raises "印刷データ作成に失敗しました。".
bool WritePrintSnapshot(Query& dataSet);
