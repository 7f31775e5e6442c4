#pragma once

#include "model/MergeList.h"
#include "printcore/repTavrelU.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

// The print dialog's merge part: the list file and its encoding, which rows, copies per row and
// the blank-line rule, with the row, label and page counts. Off by default; the list last used
// with a design is offered again for it (TAVREL.ini).
class TMergePrintPart : public QObject {
    Q_OBJECT
  public:
    static constexpr int kHeight = 100;

    // Builds the part at top inside client.
    TMergePrintPart(QWidget* client, int top);

    QGroupBox* GroupMerge = nullptr;
    QLineEdit* EditMergeFile = nullptr;
    QPushButton* BtnMergeFile = nullptr;
    QComboBox* ComboEncoding = nullptr;
    QCheckBox* CheckRange = nullptr;
    QSpinBox* SpinFirstRow = nullptr;
    QSpinBox* SpinLastRow = nullptr;
    QLabel* LabelRows = nullptr;
    QSpinBox* SpinCopies = nullptr;
    QCheckBox* CheckDropBlank = nullptr;
    QLabel* LabelTotal = nullptr;

    // The design whose list is remembered, and the cells ahead of the first label and per page.
    void SetDesign(const QString& designKey);
    void SetCells(int empty, int perPage);
    // Reads the list of the file box in the chosen encoding; a list that cannot be read is
    // reported and leaves the part without a list.
    void LoadList();
    void BtnMergeFileClick();
    // What the print run is to merge; no list while the part is off. Remembers the list.
    TMergeParams Params();
    bool Active() const;
    // The labels the chosen rows make; 0 while the part is off or has no list.
    long long Labels() const;
    // The columns of the list last printed with the design; none when there is no such list or
    // it cannot be read.
    static QStringList RememberedColumns(const QString& designKey);

  signals:
    void ActiveChanged(bool active);
    void CountsChanged();

  private:
    void UpdateCounts();
    ListEncoding Encoding() const;
    TMergeParams Selection() const;

    std::shared_ptr<const MergeList> list_;
    QString designKey_;
    int empty_ = 0;
    int perPage_ = 1;
};
