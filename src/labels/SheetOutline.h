#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRectF>

class DataSource;
class TDBRichEdit;

// Keeps the editor's label outline on the sheet the current design names (PAPERNAME): looked
// up when another design becomes current or the design's sheet changes. No sheet, no outline.
class TSheetOutline : public QObject {
    Q_OBJECT
  public:
    TSheetOutline(DataSource* designs, TDBRichEdit* editor);

    // Reads the sheets afresh, after they may have been edited.
    void Refresh();

  private:
    void DataChange(int fieldIndex);
    QRectF OutlineOf(const QString& paperName);

    QPointer<DataSource> designs_;
    QPointer<TDBRichEdit> editor_;
    QHash<QString, QRectF> known_;
};
