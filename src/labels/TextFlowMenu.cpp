#include "labels/TextFlowMenu.h"

#include "labels/DBRichEdit.h"
#include "platform/MessageService.h"
#include "platform/TextFlow.h"

#include <QActionGroup>
#include <QMenu>
#include <QToolButton>

TTextFlowMenu::TTextFlowMenu(QMenu* menu, QToolButton* button, TDBRichEdit* editor,
                             QWidget* dialogParent)
    : QObject(menu), button_(button), editor_(editor), dialogParent_(dialogParent) {
    Yokogaki1 = AddItem(menu, "Yokogaki1", QStringLiteral("横書き(&H)"),
                        QStringLiteral("ラベルの文字列を横書きにします"));
    Tategaki1 = AddItem(menu, "Tategaki1", QStringLiteral("縦書き(&V)"),
                        QStringLiteral("ラベルの文字列を縦書きにします（右の行から左へ）"));
    auto* direction = new QActionGroup(this);
    direction->addAction(Yokogaki1);
    direction->addAction(Tategaki1);
    menu->addSeparator();
    KanjiNumerals1 = AddItem(
        menu, "KanjiNumerals1", QStringLiteral("数字を漢数字で印刷(&K)"),
        QStringLiteral("差し込んだ住所なども含めて、数字を漢数字（一、二、三）で印刷します"));
    connect(Yokogaki1, &QAction::triggered, this, [this] { SetVertical(false); });
    connect(Tategaki1, &QAction::triggered, this, [this] { SetVertical(true); });
    connect(KanjiNumerals1, &QAction::triggered, this, &TTextFlowMenu::KanjiNumerals1Click);
    // The button's look is set only from the design, never by the click itself.
    connect(button, &QToolButton::clicked, this,
            [this] { SetVertical(editor_ && !editor_->TextFlag(TextFlow::VerticalProperty)); });
    connect(editor, &TDBRichEdit::TextFlagsChanged, this, &TTextFlowMenu::UpdateItems);
    UpdateItems();
}

QAction* TTextFlowMenu::AddItem(QMenu* menu, const char* name, const QString& caption,
                                const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(hint);
    action->setCheckable(true);
    return action;
}

void TTextFlowMenu::SetVertical(bool vertical) {
    SetFlag(TextFlow::VerticalProperty, vertical);
}

void TTextFlowMenu::KanjiNumerals1Click() {
    SetFlag(TextFlow::KanjiNumeralsProperty, KanjiNumerals1->isChecked());
}

// A record that cannot be edited keeps its setting, and the items show it again.
void TTextFlowMenu::SetFlag(int property, bool on) {
    if (editor_)
        Messages::RunGuarded([&] { editor_->SetTextFlag(property, on); }, dialogParent_);
    UpdateItems();
}

void TTextFlowMenu::UpdateItems() {
    if (!editor_)
        return;
    const bool vertical = editor_->TextFlag(TextFlow::VerticalProperty);
    (vertical ? Tategaki1 : Yokogaki1)->setChecked(true);
    KanjiNumerals1->setChecked(editor_->TextFlag(TextFlow::KanjiNumeralsProperty));
    if (button_)
        button_->setChecked(vertical);
}
