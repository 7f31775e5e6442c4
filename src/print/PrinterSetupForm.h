#pragma once

#include "printcore/PrintJob.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QRadioButton;
class QSpinBox;

// The preview's printer setup: printer, copies and orientation of the next job.
class TPrinterSetupForm : public QDialog {
    Q_OBJECT
  public:
    // Raises ENkPrinterNoPrinter when there is no printer to choose.
    TPrinterSetupForm(const TJobSettings& job, QWidget* parent = nullptr);

    // Shows the dialog; true and job changed when the user confirmed.
    static bool Execute(TJobSettings& job, QWidget* parent);
    TJobSettings Settings() const;

    QComboBox* PrinterCombo = nullptr;
    QSpinBox* CopiesEdit = nullptr;
    QRadioButton* PortraitBtn = nullptr;
    QRadioButton* LandscapeBtn = nullptr;
    QDialogButtonBox* Buttons = nullptr;
};
