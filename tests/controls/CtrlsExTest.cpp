#include "controls/CtrlsEx.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

void Type(QWidget* w, const QString& chars) {
    for (QChar c : chars) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

TEST(EditEx, TypingGroupsInThreesAndTextHandsOutThePlainNumber) {
    TEditEx box;
    box.SetThousands(true);
    Type(&box, "1234");
    EXPECT_EQ(box.text(), "1,234");
    EXPECT_EQ(box.Text(), "1234");
}

TEST(EditEx, CaretKeepsItsDistanceFromTheEnd) {
    TEditEx box;
    box.SetThousands(true);
    box.SetText("1234");
    box.setCursorPosition(4); // just before the last digit of 1,234
    Type(&box, "5");
    EXPECT_EQ(box.text(), "12,354");
    EXPECT_EQ(box.cursorPosition(), 5);
}

TEST(EditEx, GroupingCountsEveryCharacter) {
    EXPECT_EQ(TEditEx::Grouped("-123"), "-,123");
    EXPECT_EQ(TEditEx::Grouped("123"), "123");
    EXPECT_EQ(TEditEx::Grouped("1234567"), "1,234,567");
    TEditEx box;
    box.SetText("12345");
    EXPECT_EQ(box.text(), "12345");
    box.SetThousands(true);
    EXPECT_EQ(box.text(), "12,345");
    box.SetThousands(false);
    EXPECT_EQ(box.text(), "12,345"); // switching off leaves the separators
    EXPECT_EQ(box.Text(), "12,345");
    Type(&box, "ab");
    EXPECT_TRUE(box.text().endsWith("ab"));
}

TEST(EditEx, EnterInsertsNothingAndReachesTheDefaultButton) {
    QDialog dialog;
    auto* box = new TEditEx(&dialog);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(box);
    layout->addWidget(ok);
    bool fired = false;
    QObject::connect(ok, &QPushButton::clicked, [&] { fired = true; });
    dialog.show();
    box->SetText("12");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(box, &enter);
    EXPECT_EQ(box->text(), "12");
    EXPECT_TRUE(fired);
}

TEST(EditEx, AlignmentChangesKeepTheText) {
    TEditEx box;
    box.SetText("42");
    box.SetAlignment(Qt::AlignCenter);
    EXPECT_EQ(box.Alignment(), Qt::AlignCenter);
    box.SetAlignment(Qt::AlignRight);
    EXPECT_EQ(box.Alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(box.text(), "42");
}

} // namespace
