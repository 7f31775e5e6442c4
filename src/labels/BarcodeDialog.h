#pragma once

#include "model/Barcode.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class TBarcodeView;

// Inserts or changes one barcode: its type, its data (text, in which merge fields may be
// nested, or one merge column), its size and options, with a live drawing.
class TBarcodeDialog : public QDialog {
    Q_OBJECT

  public:
    // columns: the merge columns offered; the user may type another.
    TBarcodeDialog(QWidget* parent, const QStringList& columns,
                   const BarcodeField::TBarcodeField& field = DefaultField());

    static BarcodeField::TBarcodeField DefaultField();
    BarcodeField::TBarcodeField Field() const;
    // What the live drawing shows.
    const TBarcodeSymbol& Symbol() const;

    QComboBox* TypeBox = nullptr;
    QRadioButton* TextRadio = nullptr;
    QLineEdit* DataEdit = nullptr;
    QRadioButton* ColumnRadio = nullptr;
    QComboBox* ColumnBox = nullptr;
    QSpinBox* ScaleSpin = nullptr;
    QDoubleSpinBox* HeightSpin = nullptr;
    QComboBox* LevelBox = nullptr;
    QCheckBox* TextCheck = nullptr;
    QComboBox* RotationBox = nullptr;
    TBarcodeView* View = nullptr;

  private:
    void Load(const BarcodeField::TBarcodeField& field);
    void NestColumnClick();
    void Changed();
};
