#include "labels/ImageFormU.h"

#include "controls/DBImage.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "model/PicturePlacement.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

TImageForm::TImageForm(QWidget* panel, DataSource* source) : QFrame(panel), source_(source) {
    setObjectName(QStringLiteral("ImageForm"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(kFrame);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMouseTracking(true);
    DBImage1 = new TDBImage(this);
    DBImage1->setObjectName(QStringLiteral("DBImage1"));
    DBImage1->SetDataField(QStringLiteral("GAZOU"));
    DBImage1->SetDataSource(source);
    DBImage1->installEventFilter(this);
    DBImage1->OnMouseDown = [this](QMouseEvent* e) { DBImage1MouseDown(e); };
    FormCreate();
}

void TImageForm::FormCreate() {
    setGeometry(10, 10, 70, 50);
    DBImage1->setGeometry(contentsRect());
    update();
}

bool TImageForm::Stretched() const {
    return DBImage1->Stretch();
}

void TImageForm::EditIfModifiable() {
    Query* q = source_ ? source_->DataSet() : nullptr;
    if (q && q->Active() && q->CanModify() && q->State() == DataSetState::Browse)
        q->Edit();
}

void TImageForm::DBImage1MouseDown(QMouseEvent* event) {
    EditIfModifiable();
    BeginTracking(event->globalPosition().toPoint(), {});
}

void TImageForm::FormResize() {
    DBImage1->setGeometry(contentsRect());
    // Only the user's own sizing counts as an edit; placements from the record do not.
    if (userSizing_)
        EditIfModifiable();
}

void TImageForm::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    FormResize();
}

Qt::Edges TImageForm::EdgesAt(const QPoint& pos) const {
    Qt::Edges edges;
    if (pos.x() < kFrame)
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - kFrame)
        edges |= Qt::RightEdge;
    if (pos.y() < kFrame)
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - kFrame)
        edges |= Qt::BottomEdge;
    return edges;
}

void TImageForm::BeginTracking(const QPoint& globalPos, Qt::Edges edges) {
    tracking_ = true;
    edges_ = edges;
    pressGlobal_ = globalPos;
    pressGeometry_ = geometry();
    pressLogical_ = LogicalGeometry();
}

void TImageForm::Track(const QPoint& globalPos) {
    const QPoint d = globalPos - pressGlobal_;
    if (!edges_) {
        move(pressGeometry_.topLeft() + d);
        return;
    }
    QRect r = pressGeometry_;
    const int minimum = 2 * kFrame;
    if (edges_ & Qt::LeftEdge)
        r.setLeft(std::min(r.left() + d.x(), r.right() - minimum));
    if (edges_ & Qt::RightEdge)
        r.setRight(std::max(r.right() + d.x(), r.left() + minimum));
    if (edges_ & Qt::TopEdge)
        r.setTop(std::min(r.top() + d.y(), r.bottom() - minimum));
    if (edges_ & Qt::BottomEdge)
        r.setBottom(std::max(r.bottom() + d.y(), r.top() + minimum));
    userSizing_ = true;
    setGeometry(r);
    userSizing_ = false;
}

void TImageForm::mousePressEvent(QMouseEvent* event) {
    const Qt::Edges edges = EdgesAt(event->position().toPoint());
    if (edges)
        BeginTracking(event->globalPosition().toPoint(), edges);
    QFrame::mousePressEvent(event);
}

bool TImageForm::Follow(QMouseEvent* event) {
    if (tracking_ && event->buttons() == Qt::NoButton)
        EndTracking();
    if (tracking_)
        Track(event->globalPosition().toPoint());
    return tracking_;
}

void TImageForm::mouseMoveEvent(QMouseEvent* event) {
    if (Follow(event))
        return;
    const Qt::Edges e = EdgesAt(event->position().toPoint());
    const bool diagonalA =
        e == (Qt::TopEdge | Qt::LeftEdge) || e == (Qt::BottomEdge | Qt::RightEdge);
    const bool diagonalB =
        e == (Qt::TopEdge | Qt::RightEdge) || e == (Qt::BottomEdge | Qt::LeftEdge);
    if (diagonalA)
        setCursor(Qt::SizeFDiagCursor);
    else if (diagonalB)
        setCursor(Qt::SizeBDiagCursor);
    else if (e & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (e)
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

void TImageForm::EndTracking() {
    if (!tracking_)
        return;
    tracking_ = false;
    if (geometry() != pressGeometry_)
        emit UserPlaced(pressLogical_);
}

void TImageForm::mouseReleaseEvent(QMouseEvent* event) {
    EndTracking();
    QFrame::mouseReleaseEvent(event);
}

// Drags that start on the picture arrive at the picture control, which holds the mouse.
bool TImageForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBImage1 && tracking_) {
        if (event->type() == QEvent::MouseMove)
            return Follow(static_cast<QMouseEvent*>(event));
        if (event->type() == QEvent::MouseButtonRelease)
            EndTracking();
    }
    return QFrame::eventFilter(watched, event);
}

// The picture passes its right-clicks on to the window.
void TImageForm::contextMenuEvent(QContextMenuEvent* event) {
    if (!popup_) {
        QFrame::contextMenuEvent(event);
        return;
    }
    tracking_ = false;
    popup_->exec(event->globalPos());
}

void TImageForm::PlacementFromRecord(Query& dataSet) {
    if (dataSet.State() == DataSetState::Insert || dataSet.IsEmpty())
        return;
    const PicturePlacement placement = PicturePlacement::FromRecord(dataSet);
    DBImage1->SetStretch(placement.stretched);
    setVisible(placement.shown);
    SetLogicalGeometry(QRect(placement.x, placement.y, std::max(0, placement.width),
                             std::max(0, placement.height)));
}

PicturePlacement TImageForm::Placement() const {
    const QRect r = LogicalGeometry();
    return {r.x(), r.y(), r.width(), r.height(), !isHidden(), Stretched()};
}

QRect TImageForm::LogicalGeometry() const {
    if (geometry() == shown_)
        return logical_;
    const QRect r = geometry();
    const auto unzoom = [this](int v) { return qRound(v / zoom_); };
    return QRect(unzoom(r.x()), unzoom(r.y()), unzoom(r.width()), unzoom(r.height()));
}

void TImageForm::SetLogicalGeometry(const QRect& logical) {
    const auto zoom = [this](int v) { return qRound(v * zoom_); };
    logical_ = logical;
    shown_ =
        QRect(zoom(logical.x()), zoom(logical.y()), zoom(logical.width()), zoom(logical.height()));
    setGeometry(shown_);
    shown_ = geometry(); // a size the window cannot take is what it shows
}

void TImageForm::SetZoom(int percent) {
    const QRect logical = LogicalGeometry();
    zoom_ = percent / 100.0;
    DBImage1->SetScale(zoom_);
    SetLogicalGeometry(logical);
}

void TImageForm::PlacementIntoRecord(Query& dataSet) const {
    Placement().IntoRecord(dataSet);
}
