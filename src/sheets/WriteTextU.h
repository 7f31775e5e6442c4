#pragma once

#include "data/DataSource.h"

#include "platform/Version.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;
class Query;
class TApplicationEvents;
class TDBGrid;

// The export window: writes all, the selected or the current sheet definitions to a text file.
class TWriteTextForm : public QDialog {
    Q_OBJECT
  public:
    TWriteTextForm(Query& query, const QString& defaultFile, int helpContext,
                   QWidget* parent = nullptr);

    TDBGrid* DBGrid1 = nullptr;
    DataSource DataSource1;
    QRadioButton* RadioAll = nullptr;
    QRadioButton* RadioSelected = nullptr;
    QRadioButton* RadioCurrent = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QLabel* StatusPanels[6] = {};
    TApplicationEvents* ApplicationEvents1 = nullptr;

    void BitBtn3Click();
    // Asks for the file to write; the save dialog unless replaced (tests choose for the user).
    std::function<QString()> ChooseFile;
    static QString Caption() {
        return TavrelVersionCaption() + QStringLiteral(" 印刷設定情報出力");
    }

  private:
    void BuildColumns();
    void UpdateSelectionCount();
    QString RunSaveDialog();
    QString ChosenCaption() const;

    Query& query_;
    QString defaultFile_;
    int helpContext_;
};

// Opens the export window modally for the query and releases it when it closes.
void ShowWriteText(Query& query, const QString& defaultFile, int helpContext);
