#include "controls/UpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TUpDown::TUpDown(int min, int max, QWidget* parent)
    : QWidget(parent), min_(min), max_(std::max(min, max)), position_(min),
      up_(MakeArrow(this, Qt::UpArrow)), down_(MakeArrow(this, Qt::DownArrow)) {
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetAssociate(QLineEdit* edit) {
    associate_ = edit;
    SetPosition(position_);
}

void TUpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    if (associate_)
        associate_->setText(QString::number(position_));
}

void TUpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    SetPosition(position_);
}

void TUpDown::TakeTypedNumber(bool clamped) {
    if (!associate_)
        return;
    bool ok = false;
    const int typed = associate_->text().trimmed().toInt(&ok);
    if (ok && (clamped || (typed >= min_ && typed <= max_)))
        position_ = std::clamp(typed, min_, max_);
}

int TUpDown::Position() {
    TakeTypedNumber(false);
    return position_;
}

// A click steps from what was typed, held to the range.
void TUpDown::Step(int delta) {
    TakeTypedNumber(true);
    int next = position_ + delta;
    if (wrap_ && next > max_)
        next = min_;
    else if (wrap_ && next < min_)
        next = max_;
    SetPosition(next);
    emit Click(delta > 0);
}

void TUpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}
