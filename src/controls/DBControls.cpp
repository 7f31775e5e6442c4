#include "controls/DBControls.h"

#include "controls/FieldLink.h"
#include "data/Query.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "ui/SlotGuard.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>

namespace {

bool AcceptsKey(FieldKind kind, const QKeyEvent* event) {
    const QString text = event->text();
    if (!IsWholeNumberKind(kind) || text.isEmpty() || !text.at(0).isPrint())
        return true;
    for (QChar c : text)
        if (!c.isDigit() && c != QLatin1Char('+') && c != QLatin1Char('-'))
            return false;
    return true;
}

// Hands text to the field; a refusal is shown and the control keeps its text for correction.
void StoreText(FieldLink* link, const QString& text) {
    const auto field = link->GetField();
    if (!field || !link->Modified())
        return;
    field->SetAsString(text);
    link->SetModified(false);
}

// Marks the text as the user's before the record enters edit state, so that the state change
// does not put the stored text back into the control.
void BeginUserEdit(FieldLink* link) {
    const bool was = link->Modified();
    link->SetModified(true);
    try {
        link->Edit();
    } catch (...) {
        link->SetModified(was);
        throw;
    }
}

void StoreOnFocusLoss(FieldLink* link, const QString& text, QWidget* widget) {
    try {
        StoreText(link, text);
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), widget->window());
    }
}

} // namespace

// ---------------------------------------------------------------------------

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent), link_(new FieldLink(this)) {
    connect(link_, &FieldLink::Reload, this, &TDBEdit::Reload);
    connect(link_, &FieldLink::StateChanged, this, &TDBEdit::StateChanged);
    connect(link_, &FieldLink::UpdateRecord, this, &TDBEdit::UpdateRecord);
    connect(this, &QLineEdit::textEdited, this, Guarded(this, &TDBEdit::UserEdited));
    StateChanged();
}

void TDBEdit::SetDataSource(DataSource* source) {
    link_->SetDataSource(source);
}
void TDBEdit::SetDataField(const QString& field) {
    link_->SetFieldName(field);
}

void TDBEdit::Reload() {
    if (!link_->Modified())
        setText(link_->Text());
}

void TDBEdit::StateChanged() {
    setEnabled(link_->Active());
    setReadOnly(!link_->CanModify());
    Reload();
}

void TDBEdit::UserEdited() {
    BeginUserEdit(link_);
}

void TDBEdit::UpdateRecord() {
    link_->HandOver([this] { StoreText(link_, text()); });
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
    if (!AcceptsKey(link_->Kind(), event)) {
        QApplication::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent* event) {
    StoreOnFocusLoss(link_, text(), this);
    QLineEdit::focusOutEvent(event);
}

// ---------------------------------------------------------------------------

TDBComboBox::TDBComboBox(QWidget* parent) : QComboBox(parent), link_(new FieldLink(this)) {
    connect(link_, &FieldLink::Reload, this, &TDBComboBox::Reload);
    connect(link_, &FieldLink::StateChanged, this, &TDBComboBox::StateChanged);
    connect(link_, &FieldLink::UpdateRecord, this, &TDBComboBox::UpdateRecord);
    connect(this, &QComboBox::activated, this, Guarded(this, &TDBComboBox::UserChose));
    StateChanged();
}

void TDBComboBox::SetDataSource(DataSource* source) {
    link_->SetDataSource(source);
}
void TDBComboBox::SetDataField(const QString& field) {
    link_->SetFieldName(field);
}

void TDBComboBox::SetListOnly(bool listOnly) {
    setEditable(!listOnly);
    if (!listOnly) {
        completer()->setCaseSensitivity(Qt::CaseInsensitive);
        connect(lineEdit(), &QLineEdit::textEdited, this, Guarded(this, &TDBComboBox::UserEdited));
    }
    Reload();
}

void TDBComboBox::SetItems(const QStringList& items) {
    loading_ = true;
    const QString current = link_->Modified() ? currentText() : link_->Text();
    clear();
    addItems(items);
    loading_ = false;
    link_->SetModified(link_->Modified());
    if (isEditable())
        setEditText(current);
    else
        setCurrentIndex(findText(current, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

namespace {

// Draws an item as usual and its detail right-aligned after it.
class DetailDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString detail = index.data(TDBComboBox::kDetailRole).toString();
        if (detail.isEmpty())
            return;
        painter->save();
        painter->setPen(option.palette.color(option.state & QStyle::State_Selected
                                                 ? QPalette::HighlightedText
                                                 : QPalette::PlaceholderText));
        painter->drawText(option.rect.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter,
                          detail);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString detail = index.data(TDBComboBox::kDetailRole).toString();
        if (!detail.isEmpty())
            size.rwidth() += option.fontMetrics.horizontalAdvance(detail) + 24;
        return size;
    }
};

} // namespace

void TDBComboBox::SetItemDetails(const QHash<QString, QString>& details) {
    if (!dynamic_cast<DetailDelegate*>(itemDelegate()))
        setItemDelegate(new DetailDelegate(this));
    for (int i = 0; i < count(); ++i)
        setItemData(i, details.value(itemText(i)), kDetailRole);
    view()->setMinimumWidth(view()->sizeHintForColumn(0));
}

// The closed box shows the chosen item's detail too, where the box has room for it.
void TDBComboBox::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
    const QString detail = currentData(kDetailRole).toString();
    if (isEditable() || detail.isEmpty())
        return;
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QFontMetrics metrics = fontMetrics();
    const int room = field.width() - metrics.horizontalAdvance(currentText()) - 12;
    if (metrics.horizontalAdvance(detail) > room)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::PlaceholderText));
    painter.drawText(field.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, detail);
}

void TDBComboBox::Reload() {
    if (link_->Modified())
        return;
    loading_ = true;
    const QString text = link_->Text();
    if (isEditable())
        setEditText(text);
    else
        setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    loading_ = false;
}

void TDBComboBox::StateChanged() {
    setEnabled(link_->Active());
    Reload();
}

void TDBComboBox::UserChose(int index) {
    if (loading_ || index < 0 || !link_->CanModify())
        return;
    const QString chosen = itemText(index);
    BeginUserEdit(link_);
    StoreText(link_, chosen);
}

void TDBComboBox::UserEdited() {
    BeginUserEdit(link_);
}

void TDBComboBox::UpdateRecord() {
    link_->HandOver([this] { StoreText(link_, currentText()); });
}

void TDBComboBox::showPopup() {
    if (OnDropDown) {
        try {
            OnDropDown();
        } catch (const std::exception& e) {
            Messages::ShowError(ExceptionText(e), window()); // the list keeps its items
        }
    }
    QComboBox::showPopup();
}

void TDBComboBox::focusOutEvent(QFocusEvent* event) {
    if (isEditable())
        StoreOnFocusLoss(link_, currentText(), this);
    QComboBox::focusOutEvent(event);
}

// ---------------------------------------------------------------------------

TDBText::TDBText(QWidget* parent) : QLabel(parent), link_(new FieldLink(this)) {
    connect(link_, &FieldLink::Reload, this, [this] { setText(link_->Text()); });
    connect(link_, &FieldLink::StateChanged, this, [this] { setText(link_->Text()); });
}

void TDBText::SetDataSource(DataSource* source) {
    link_->SetDataSource(source);
}
void TDBText::SetDataField(const QString& field) {
    link_->SetFieldName(field);
}
