#include "print/PrinterSetupForm.h"

#include "printcore/NkPrinters.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>

namespace {

constexpr int kMaxCopies = 999;

// The job's printer, or else the default one, or else the first.
int PrinterIndex(const QStringList& names, const QString& wanted) {
    const int exact = static_cast<int>(names.indexOf(wanted));
    if (exact >= 0)
        return exact;
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    const TNkAllPrintersInfo& all = NkPrinter().Snapshot();
    for (int i = 0; i < all.Count(); ++i) {
        if (all.Attributes(i) & NkPrinterAttributeDefault)
            return std::max<int>(0, names.indexOf(all.Name(i)));
    }
    return 0;
}

} // namespace

TPrinterSetupForm::TPrinterSetupForm(const TJobSettings& job, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("プリンタ設定"));
    const QStringList names = NkPrinter().GetPrinterNames();
    PrinterCombo = new QComboBox(this);
    PrinterCombo->addItems(names);
    PrinterCombo->setCurrentIndex(PrinterIndex(names, job.printerName));
    CopiesEdit = new QSpinBox(this);
    CopiesEdit->setRange(1, kMaxCopies);
    CopiesEdit->setValue(std::clamp(job.copies, 1, kMaxCopies));
    PortraitBtn = new QRadioButton(QStringLiteral("縦"), this);
    LandscapeBtn = new QRadioButton(QStringLiteral("横"), this);
    (job.landscape ? LandscapeBtn : PortraitBtn)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(PortraitBtn);
    orientation->addWidget(LandscapeBtn);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("プリンタ"), PrinterCombo);
    form->addRow(QStringLiteral("部数"), CopiesEdit);
    form->addRow(QStringLiteral("印刷の向き"), orientation);
    form->addRow(Buttons);
}

TJobSettings TPrinterSetupForm::Settings() const {
    TJobSettings job;
    job.printerName = PrinterCombo->currentText();
    job.copies = CopiesEdit->value();
    job.landscape = LandscapeBtn->isChecked();
    return job;
}

bool TPrinterSetupForm::Execute(TJobSettings& job, QWidget* parent) {
    TPrinterSetupForm form(job, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    job = form.Settings();
    return true;
}
