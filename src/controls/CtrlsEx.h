#pragma once

#include <QLineEdit>

// A one-line number box: aligned left, right or centred, optionally grouped in threes with
// ",", and never taking Enter as input.
class TEditEx : public QLineEdit {
    Q_OBJECT
  public:
    explicit TEditEx(QWidget* parent = nullptr);

    void SetAlignment(Qt::Alignment alignment);
    Qt::Alignment Alignment() const { return alignment(); }
    void SetThousands(bool thousands);
    bool Thousands() const { return thousands_; }
    // The number: the shown text without separators when grouping is on.
    QString Text() const;
    void SetText(const QString& value);
    // Re-inserts the separators, keeping the selection's distance from the end.
    virtual void Regroup();

    // Separators inserted after every three characters counted from the right.
    static QString Grouped(const QString& plain);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool thousands_ = false;
};
