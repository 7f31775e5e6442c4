#include "labels/BarcodeDialog.h"
#include "LabelTextFixture.h"
#include "model/Barcode.h"
#include "platform/BarcodeText.h"
#include "platform/SjisCodec.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using BarcodeDialogTest = LabelTextFixture;

// Works the dialog the editor opens next, then presses OK.
void AnswerDialog(const std::function<void(TBarcodeDialog&)>& fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = qobject_cast<TBarcodeDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        fill(*dialog);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
}

// Inserted from the dialog, a barcode is one object that reopens on a double-click and is
// stored as a field; bad data shows its reason and cannot be confirmed.
TEST_F(BarcodeDialogTest, InsertReopenAndStoreOneBarcode) {
    AddDesign("a", Rtf::Document("ab"));
    Open();
    editor->BarcodeColumns = [] { return QStringList{"郵便番号", "住所"}; };
    editor->SetSelection(1, 0);
    AnswerDialog([](TBarcodeDialog& d) {
        d.TypeBox->setCurrentText("JAN13");
        d.DataEdit->setText("4901234567890");
        EXPECT_TRUE(d.Symbol().error.contains("チェックデジット"));
        EXPECT_FALSE(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
        d.DataEdit->setText("4901234567894");
    });
    editor->InsertBarcode();
    EXPECT_EQ(editor->toPlainText(), QString("a") + QChar::ObjectReplacementCharacter + "b");
    EXPECT_EQ(RichFormat::FieldInstruction(FormatAt(1)), "DISPLAYBARCODE 4901234567894 JAN13");

    const QRect place = editor->cursorRect(QTextCursor(editor->document())).translated(4, 0);
    AnswerDialog([](TBarcodeDialog& d) {
        EXPECT_EQ(d.DataEdit->text(), "4901234567894");
        d.TypeBox->setCurrentText("JPPOST");
        d.DataEdit->setText("9813205 ");
        d.ColumnBox->setCurrentText("住所");
        d.findChild<QPushButton*>()->click();
        EXPECT_FALSE(d.Symbol().pending.isEmpty());
    });
    QMouseEvent click(QEvent::MouseButtonDblClick, place.center() + QPoint(8, 0),
                      editor->viewport()->mapToGlobal(place.center()), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &click);
    EXPECT_EQ(editor->toPlainText().size(), 3);
    EXPECT_EQ(RichFormat::FieldInstruction(FormatAt(1)),
              "DISPLAYBARCODE \"9813205 {MERGEFIELD 住所}\" JPPOST");
    // Pasted beside itself, a copy stays a barcode of its own.
    editor->SetSelection(1, 1);
    editor->copy();
    editor->SetSelection(2, 0);
    editor->paste();
    EXPECT_EQ(editor->toPlainText().size(), 4);
    q.Post();
    const QString stored = q.FieldByName("CARDTEXT").AsString();
    EXPECT_TRUE(stored.contains("{\\field{\\*\\fldinst MERGEFIELD ")) << stored.toStdString();
    QTextDocument reread;
    RtfRead(Sjis::Encode(stored), &reread);
    EXPECT_EQ(reread.toPlainText(), QString("a") + QChar::ObjectReplacementCharacter +
                                        QChar::ObjectReplacementCharacter + "b");
}

} // namespace
