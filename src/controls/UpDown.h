#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down arrow pair that steps a whole number inside a range and shows it in its
// associated edit box. A click steps from the number typed into the box, when there is one.
class TUpDown : public QWidget {
    Q_OBJECT
  public:
    TUpDown(int min, int max, QWidget* parent = nullptr);

    void SetAssociate(QLineEdit* edit);
    int Min() const { return min_; }
    int Max() const { return max_; }
    // A new range keeps the position inside it.
    void SetRange(int min, int max);
    // Stepping past one end of the range goes on from the other end.
    void SetWrap(bool wrap) { wrap_ = wrap; }
    bool Wrap() const { return wrap_; }
    // A number typed into the box counts when it lies in the range; otherwise the last valid
    // position does.
    int Position();
    // Keeps the position inside the range and shows it in the associated box.
    void SetPosition(int position);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

  signals:
    // After each click of either arrow, the position already stepped.
    void Click(bool up);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Step(int delta);
    void TakeTypedNumber(bool clamped);

    int min_;
    int max_;
    int position_;
    bool wrap_ = false;
    QLineEdit* associate_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
};
