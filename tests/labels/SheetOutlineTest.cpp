#include "labels/SheetOutline.h"
#include "LabelTextFixture.h"

namespace {

constexpr double kPixelsPerMm = 96 / 25.4;

class SheetOutlineTest : public LabelTextFixture {
  protected:
    void AddDesignOn(const QString& name, const QString& sheet) {
        AddDesign(name, Rtf::Document("abc"));
        ExecuteImmediate(db, tr,
                         "UPDATE TAVREL SET PAPERNAME = " +
                             (sheet.isNull() ? QStringLiteral("NULL") : Quoted(sheet)) +
                             " WHERE NAME = " + Quoted(name));
    }
};

TEST_F(SheetOutlineTest, TheOutlineFollowsTheDesignsSheetAtPrintingsPlace) {
    // 86.4 × 50.8 mm labels print in whole millimetres; the text moves 2 mm right, 1 mm up.
    ExecuteImmediate(db, tr,
                     "INSERT INTO TAVRELSET (ID, PAPERNAME, L_WIDTH, L_HEIGHT, PR_LEFTM, PR_TOPM) "
                     "VALUES (0, 'S', 864, 508, 20, -10)");
    AddDesignOn("a", "S");
    AddDesignOn("b", "unknown");
    AddDesignOn("c", QString());
    new TSheetOutline(&ds, editor);
    Open();
    const QRectF label(-2 * kPixelsPerMm, 1 * kPixelsPerMm, 86 * kPixelsPerMm, 50 * kPixelsPerMm);
    EXPECT_EQ(editor->LabelOutline(), label);
    // Drawn over the text where the document shows the label's top edge.
    const QImage shown = editor->viewport()->grab().toImage();
    const int top = qFloor(editor->ShownLabelOutline().top());
    EXPECT_EQ(top, qFloor(1 * kPixelsPerMm + editor->document()->documentMargin()));
    const QRgb paper = shown.pixel(150, top + 4);
    EXPECT_TRUE(shown.pixel(150, top) != paper || shown.pixel(150, top + 1) != paper);
    q.Next();
    EXPECT_TRUE(editor->LabelOutline().isEmpty());
    q.Next();
    EXPECT_TRUE(editor->LabelOutline().isEmpty());
    q.Edit();
    q.FieldByName("PAPERNAME").SetValue(QStringLiteral("S"));
    EXPECT_EQ(editor->LabelOutline(), label);
}

} // namespace
