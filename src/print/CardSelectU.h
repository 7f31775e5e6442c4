#pragma once

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/Query.h"

#include <QDialog>
#include <functional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TApplicationEvents;
class TDBText;
class TMergePrintPart;
class TSheetPicture;
class TUpDown;

// The print dialog: the sheet, where on it the first label goes, how many labels, the shift of
// the label content and the printer. It stays open after a run so a design can be printed again.
class TCardSelectForm : public QDialog {
    Q_OBJECT
  public:
    // Raises "TNkPrinter.CheckNoPrinter: No Printer" when there is no printer, and the
    // connection's error when the database cannot be opened; the dialog then does not exist.
    explicit TCardSelectForm(QWidget* parent = nullptr);
    ~TCardSelectForm() override;

    static constexpr int kHelpContext = 2;
    static QString Caption();

    Database IBDatabase1;
    Transaction IBTransaction1;
    Query IBQueryCardSet;
    DataSource DataSourceCardSet;
    Query IBQueryEtc;

    QComboBox* ComboBox1 = nullptr;
    TDBText* DBMemo1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TDBText* DBMemo2 = nullptr;
    TDBText* DBMemo3 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* MemoRetsu = nullptr;
    TUpDown* UpDownRetsu = nullptr;
    QLineEdit* MemoDan = nullptr;
    TUpDown* UpDownDan = nullptr;
    QLineEdit* MemoMaisu = nullptr;
    TUpDown* UpDownMaisu = nullptr;
    QLabel* Label9 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QLineEdit* MemoTop = nullptr;
    TUpDown* UpDownTop = nullptr;
    QLineEdit* MemoLeft = nullptr;
    TUpDown* UpDownLeft = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QComboBox* PrinterCombo = nullptr;
    QGroupBox* GroupBox6 = nullptr;
    // 縦順 (down the columns) or 横順 (across the rows), as the settings file keeps it.
    QComboBox* OrderCombo = nullptr;
    TSheetPicture* SheetPicture = nullptr;
    QPushButton* PrintBtn = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    TApplicationEvents* ApplicationEvents1 = nullptr;
    TMergePrintPart* MergePart = nullptr;

    // What ShowPrintDialog does before it shows the dialog: the title, the sheet names, the
    // sheet named PaperName (else the first) and the print button.
    void OpenFor(const QString& PaperName, const QString& designKey = {});
    void FormCreate();
    bool FormCloseQuery();
    void ComboBox1Change();
    void IBQueryCardSetAfterScroll();
    void PrintBtnClick();
    // Keeps the chosen fill order in memory and in the settings file.
    void OrderComboChange();
    // The sheet picture follows the sheet, the start, the count and the order.
    void ShowJob();
    void ShowSheetPicture();
    // A cell clicked in the sheet picture becomes the start.
    void SheetPictureClick(int column, int row);
    void SaveAdjustments(const QString& PrinterName, const QString& PaperName, int TopAdjust,
                         int LeftAdjust);
    // Ends the dialog's transaction, making the stored corrections permanent. When that fails
    // the user is told that they were not stored.
    void CommitAdjustments();

    void done(int result) override;

  private:
    struct Adjustment {
        QString printer, paper;
        int top = 0, left = 0;
    };
    void RunUpdate(const Adjustment& a);
    // Runs work; when the connection turns out lost, attaches again, repeats the updates this
    // session had made (the lost transaction took them along) and runs work once more.
    void OnConnection(const std::function<void()>& work);

    void CreateSheetPart(QWidget* client);
    void CreatePositionPart(QWidget* client);
    void CreateAdjustPart(QWidget* client);
    void CreatePrinterPart(QWidget* client);
    void CreateMergePart(QWidget* client);
    void UpdateMergeCells();
    void CreateOrderPart(QWidget* client);
    void CreateButtons(QWidget* client);
    void CreateStatusBar(QWidget* client);

    std::vector<Adjustment> saved_;
};

// Creates the dialog for the sheet named PaperName, shows it modally and releases it.
// designKey names the design whose last merge list is offered (empty: none).
void ShowPrintDialog(const QString& PaperName, QWidget* owner = nullptr,
                     const QString& designKey = {});
// The dialog while it is shown, otherwise null.
extern TCardSelectForm* CardSelectForm;
