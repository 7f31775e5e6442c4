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
    int Position() const { return position_; }
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

    int min_;
    int max_;
    int position_;
    QLineEdit* associate_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
};
