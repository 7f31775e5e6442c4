#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <functional>

class QTextEdit;

// Beside the label text editor, which stays horizontal: the label at its true size with its
// outline and the text set vertically as it prints, following every change of the text. Shown
// only while the text is vertical.
class TVerticalView : public QWidget {
    Q_OBJECT
  public:
    // outline gives the label in logical pixels from the text's origin (empty when the design
    // names no sheet); owner is the window the view stands beside.
    TVerticalView(QTextEdit* editor, std::function<QRectF()> outline, QWidget* owner);

    // Shows or hides the view for the editor's text and draws it afresh.
    void Refresh();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRectF Label() const;

    QPointer<QTextEdit> editor_;
    std::function<QRectF()> outline_;
    QPointer<QWidget> owner_;
    bool placed_ = false;
};
