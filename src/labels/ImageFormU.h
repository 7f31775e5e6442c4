#pragma once

#include <QFrame>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QRect>

struct PicturePlacement;
class DataSource;
class Query;
class TDBImage;

// The picture window: a captionless child of the text panel with a sizing frame, which the
// user drags and sizes to place the label's picture. Geometry is the outer one, frame included.
class TImageForm : public QFrame {
    Q_OBJECT
  public:
    TImageForm(QWidget* panel, DataSource* source);

    static constexpr int kFrame = 3;

    TDBImage* DBImage1 = nullptr;

    void FormCreate();
    void DBImage1MouseDown(QMouseEvent* event);
    void FormResize();

    // The placement operations the design list's handlers run.
    void PlacementFromRecord(Query& dataSet);
    void PlacementIntoRecord(Query& dataSet) const;
    // Where the window is now, as a design stores it.
    PicturePlacement Placement() const;

    bool Stretched() const;

    // The editor's magnification in percent: the window is shown that much larger, while its
    // placement stays in the unmagnified pixels a design stores.
    void SetZoom(int percent);
    QRect LogicalGeometry() const;
    void SetLogicalGeometry(const QRect& logical);
    DataSource* GetDataSource() const { return source_; }
    // The right-click menu of the window and its picture.
    void SetPopupMenu(QMenu* menu) { popup_ = menu; }

  signals:
    // The user has dragged or sized the window away from where it was (unmagnified).
    void UserPlaced(const QRect& from);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    Qt::Edges EdgesAt(const QPoint& pos) const;
    void EditIfModifiable();
    void BeginTracking(const QPoint& globalPos, Qt::Edges edges);
    void Track(const QPoint& globalPos);
    void EndTracking();
    // Follows the mouse while a button is held; a move without one ends the drag (its
    // release went to a menu).
    bool Follow(QMouseEvent* event);

    QPointer<DataSource> source_;
    QPointer<QMenu> popup_;
    bool tracking_ = false;
    bool userSizing_ = false;
    Qt::Edges edges_;
    QPoint pressGlobal_;
    QRect pressGeometry_;
    QRect pressLogical_;
    double zoom_ = 1.0;
    // The placement last set and where it was shown, so that zooming back and forth keeps it.
    QRect logical_;
    QRect shown_;
};
