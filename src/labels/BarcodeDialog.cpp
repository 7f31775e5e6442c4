#include "labels/BarcodeDialog.h"

#include "platform/MergeField.h"
#include "platform/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

// The barcode as it will print, scaled to fit.
class TBarcodeView : public QWidget {
  public:
    using QWidget::QWidget;
    void SetSymbol(TBarcodeSymbol symbol) {
        symbol_ = std::move(symbol);
        update();
    }
    const TBarcodeSymbol& Symbol() const { return symbol_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        if (symbol_.size.isEmpty())
            return;
        const QSizeF shown =
            symbol_.size.scaled(QSizeF(size()) - QSizeF(16, 16), Qt::KeepAspectRatio);
        Barcode::Draw(
            painter, symbol_,
            QRectF(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown));
    }

  private:
    TBarcodeSymbol symbol_;
};

namespace {

constexpr double kMmPerTwip = 25.4 / 1440;

QString LevelName(int level) {
    static const char* const names[] = {"L (7%)", "M (15%)", "Q (25%)", "H (30%)"};
    return QString::fromLatin1(names[level]);
}

} // namespace

TBarcodeDialog::TBarcodeDialog(QWidget* parent, const QStringList& columns,
                               const BarcodeField::TBarcodeField& field)
    : QDialog(parent) {
    setWindowTitle(TavrelVersionCaption() + QStringLiteral(" バーコード"));
    TypeBox = new QComboBox(this);
    TypeBox->addItems(BarcodeField::Types());
    TextRadio = new QRadioButton(QStringLiteral("データ(&D)"), this);
    DataEdit = new QLineEdit(this);
    DataEdit->setToolTip(
        QStringLiteral("列の値を含めるには {MERGEFIELD 列名} と書くか、右の列から挿入します"));
    ColumnRadio = new QRadioButton(QStringLiteral("差し込みの列(&C)"), this);
    ColumnBox = new QComboBox(this);
    ColumnBox->setEditable(true);
    ColumnBox->addItems(columns);
    auto* nest = new QPushButton(QStringLiteral("データに挿入(&I)"), this);
    ScaleSpin = new QSpinBox(this);
    ScaleSpin->setRange(10, 1000);
    ScaleSpin->setSuffix(QStringLiteral(" %"));
    HeightSpin = new QDoubleSpinBox(this);
    HeightSpin->setRange(0, 200);
    HeightSpin->setDecimals(1);
    HeightSpin->setSuffix(QStringLiteral(" mm"));
    HeightSpin->setSpecialValueText(QStringLiteral("標準"));
    LevelBox = new QComboBox(this);
    for (int level = 0; level < 4; ++level)
        LevelBox->addItem(LevelName(level));
    TextCheck = new QCheckBox(QStringLiteral("バーの下に文字を表示する(&T)"), this);
    RotationBox = new QComboBox(this);
    RotationBox->addItems({QStringLiteral("0°"), QStringLiteral("90°"), QStringLiteral("180°"),
                           QStringLiteral("270°")});
    View = new TBarcodeView(this);
    View->setMinimumSize(320, 160);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* columnRow = new QHBoxLayout;
    columnRow->addWidget(ColumnBox, 1);
    columnRow->addWidget(nest);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("種類(&Y)"), TypeBox);
    form->addRow(TextRadio, DataEdit);
    form->addRow(ColumnRadio, columnRow);
    form->addRow(QStringLiteral("倍率(&S)"), ScaleSpin);
    form->addRow(QStringLiteral("バーの高さ(&H)"), HeightSpin);
    form->addRow(QStringLiteral("QR の誤り訂正(&Q)"), LevelBox);
    form->addRow(QStringLiteral("回転(&R)"), RotationBox);
    form->addRow(QString(), TextCheck);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(View, 1);
    layout->addWidget(buttons);

    Load(field);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(nest, &QPushButton::clicked, this, &TBarcodeDialog::NestColumnClick);
    connect(TypeBox, &QComboBox::currentTextChanged, this, &TBarcodeDialog::Changed);
    connect(TextRadio, &QRadioButton::toggled, this, &TBarcodeDialog::Changed);
    connect(DataEdit, &QLineEdit::textChanged, this, &TBarcodeDialog::Changed);
    connect(ColumnBox, &QComboBox::currentTextChanged, this, &TBarcodeDialog::Changed);
    connect(ScaleSpin, &QSpinBox::valueChanged, this, &TBarcodeDialog::Changed);
    connect(HeightSpin, &QDoubleSpinBox::valueChanged, this, &TBarcodeDialog::Changed);
    connect(LevelBox, &QComboBox::currentIndexChanged, this, &TBarcodeDialog::Changed);
    connect(TextCheck, &QCheckBox::toggled, this, &TBarcodeDialog::Changed);
    connect(RotationBox, &QComboBox::currentIndexChanged, this, &TBarcodeDialog::Changed);
    Changed();
}

BarcodeField::TBarcodeField TBarcodeDialog::DefaultField() {
    BarcodeField::TBarcodeField field;
    field.type = QStringLiteral("QR");
    return field;
}

void TBarcodeDialog::Load(const BarcodeField::TBarcodeField& field) {
    if (TypeBox->findText(field.type) < 0)
        TypeBox->addItem(field.type);
    TypeBox->setCurrentText(field.type);
    (field.merge ? ColumnRadio : TextRadio)->setChecked(true);
    (field.merge ? ColumnBox->lineEdit() : DataEdit)->setText(field.data);
    ScaleSpin->setValue(field.scalePercent);
    HeightSpin->setValue(field.heightTwips * kMmPerTwip);
    LevelBox->setCurrentIndex(field.qrLevel);
    TextCheck->setChecked(field.showText);
    RotationBox->setCurrentIndex(field.rotation);
    // The data is what a user comes to type.
    if (field.merge)
        ColumnBox->setFocus();
    else
        DataEdit->setFocus();
}

BarcodeField::TBarcodeField TBarcodeDialog::Field() const {
    BarcodeField::TBarcodeField field;
    field.type = TypeBox->currentText();
    field.merge = ColumnRadio->isChecked();
    field.data = field.merge ? ColumnBox->currentText().trimmed() : DataEdit->text();
    field.scalePercent = ScaleSpin->value();
    field.heightTwips = static_cast<int>(std::lround(HeightSpin->value() / kMmPerTwip));
    field.qrLevel = LevelBox->currentIndex();
    field.showText = TextCheck->isChecked();
    field.rotation = RotationBox->currentIndex();
    return field;
}

const TBarcodeSymbol& TBarcodeDialog::Symbol() const {
    return View->Symbol();
}

void TBarcodeDialog::NestColumnClick() {
    const QString name = ColumnBox->currentText().trimmed();
    if (name.isEmpty())
        return;
    TextRadio->setChecked(true);
    DataEdit->insert(u'{' + MergeField::Instruction(name) + u'}');
    DataEdit->setFocus();
}

void TBarcodeDialog::Changed() {
    const BarcodeField::TBarcodeField field = Field();
    LevelBox->setEnabled(field.type == QLatin1String("QR"));
    View->SetSymbol(Barcode::EncodeForDesign(field));
    // Fixed data that cannot be encoded is not stored; data from a merge row is checked then.
    const auto* buttons = findChild<QDialogButtonBox*>();
    if (buttons)
        buttons->button(QDialogButtonBox::Ok)
            ->setEnabled(!field.data.isEmpty() && View->Symbol().error.isEmpty());
}
