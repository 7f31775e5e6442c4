#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;
class TApplicationEvents;
class TColorBox;
class TEditEx;
class TUpDown;

// The environment dialog: tooltip display and the way to the database location.
class TKankyouForm : public QDialog {
    Q_OBJECT
  public:
    explicit TKankyouForm(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 6;
    static constexpr int kClientWidth = 381;
    static constexpr int kClientHeight = 304;

    QGroupBox* GroupBox5 = nullptr;
    QGroupBox* GroupBox9 = nullptr;
    QCheckBox* HintCheckBox = nullptr;
    QGroupBox* GroupBox6 = nullptr;
    TEditEx* EditEx1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QLabel* Label6 = nullptr;
    QGroupBox* GroupBox7 = nullptr;
    TColorBox* ColorBox1 = nullptr;
    QGroupBox* GroupBox11 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QGroupBox* GroupBox12 = nullptr;
    QCheckBox* TenthMmCheckBox = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* HintPanel = nullptr;
    TApplicationEvents* ApplicationEvents1 = nullptr;

    void FormCreate();
    bool FormCloseQuery();
    void HintCheckBoxClick();
    void SpeedButton3Click();
    // Stores the dialog's values in memory and in the settings file; raises "IniFile Error".
    bool KankyouSave();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateHintGroup();
};

// Shows the environment dialog; true when it was closed with OK and the values were stored.
bool KankyouExecute();
