#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <map>
#include <optional>
#include <variant>
#include <vector>

class QPainter;

// The drawing state of a Windows device context, as metafile records change it, drawn with
// QPainter. Enhanced and old-style metafiles share it; their players only read records.
namespace MetafileDevice {

struct Font {
    QString face;
    double height = 0; // logical units; negative: the character height, positive: the cell's
    double width = 0;
    int escapement = 0; // tenths of a degree, anticlockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1;
};

struct Brush {
    QBrush brush;         // Qt::NoBrush for the null brush
    bool hatched = false; // the gaps take the background colour when the background is opaque
};

// A pen, brush, font, or a region (in the units it was made in); monostate holds a slot that
// draws nothing, as a palette does.
using Object = std::variant<std::monostate, QPen, Brush, Font, QPainterPath>;

// A string with the advance of each of its characters (logical units) when the record gives them.
struct TextRun {
    QList<QString> characters;
    QList<QPointF> advances; // empty: the font's own advances
};

enum class ArcKind { Arc, Chord, Pie };
// Raster operations on a source bitmap, and those that take no bitmap.
enum class Blit {
    Copy,
    And,
    Or,
    Xor,
    Erase,
    NotCopy,
    NotErase,
    MergePaint,
    Nothing,
    Invert,
    Black,
    White,
    Pattern,
    PatternXor
};
enum class ClipMode { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

class Device {
  public:
    // `toPicture` maps device units onto the picture; `unitsPerMm` is the device's pixels per
    // millimetre, for the fixed mapping modes.
    Device(QPainter& painter, const QTransform& toPicture, QSizeF unitsPerMm, QSizeF pictureSize);
    ~Device();

    // Mapping
    void SetMapMode(int mode) { dc_.mapMode = mode; }
    void SetWindowOrg(QPointF p) { dc_.windowOrg = p; }
    void SetWindowExt(QSizeF s) { dc_.windowExt = s; }
    void SetViewportOrg(QPointF p) { dc_.viewportOrg = p; }
    void SetViewportExt(QSizeF s) { dc_.viewportExt = s; }
    void OffsetWindowOrg(QPointF d) { dc_.windowOrg += d; }
    void OffsetViewportOrg(QPointF d) { dc_.viewportOrg += d; }
    void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void SetWorldTransform(const QTransform& t) { dc_.world = t; }
    // Modes 1 (identity), 2 (left multiply), 3 (right multiply), 4 (set).
    void ModifyWorldTransform(const QTransform& t, int mode);
    int FontCharset() const { return dc_.font.charset; }

    // Attributes
    void SetTextColor(QColor c) { dc_.textColor = c; }
    void SetBkColor(QColor c) { dc_.bkColor = c; }
    void SetBkMode(int mode) { dc_.bkOpaque = mode == 2; }
    void SetTextAlign(quint32 align) { dc_.textAlign = align; }
    void SetPolyFillMode(int mode) { dc_.fill = mode == 2 ? Qt::WindingFill : Qt::OddEvenFill; }
    void SetRop2(int rop) { dc_.rop2 = rop; }
    void SetArcDirection(int direction) { dc_.clockwise = direction == 2; }
    void SetCharExtra(double extra) { dc_.charExtra = extra; }
    void SetStretchMode(int mode) { dc_.stretchMode = mode; }
    void SaveDc();
    void RestoreDc(int which); // negative: relative to the newest

    // Objects, by table index; stock objects have the high bit set.
    void CreateObject(quint32 index, Object object);
    void SelectObject(quint32 index);
    void DeleteObject(quint32 index);
    // The lowest free index, where an old-style metafile puts each new object.
    quint32 FreeIndex() const { return freeHint_; }

    // Drawing, in logical units, with the selected pen and brush; inside a path bracket the
    // shape is added to the path instead.
    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    void Polyline(const QPolygonF& points, bool fromCurrent);
    void Polygons(const QList<QPolygonF>& polygons);
    void Polylines(const QList<QPolygonF>& lines);
    void Bezier(const QPolygonF& points, bool fromCurrent);
    void Rectangle(const QRectF& box);
    void RoundRect(const QRectF& box, QSizeF corner);
    void Ellipse(const QRectF& box);
    void ArcShape(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void Pixel(QPointF p, QColor c);
    void FillShape(const QPainterPath& shape, quint32 brushIndex);
    void PaintShape(const QPainterPath& shape); // with the selected brush
    void FrameShape(const QPainterPath& shape, quint32 brushIndex, QSizeF width);
    void Gradient(const QPainterPath& shape, const QLineF& axis, QColor from, QColor to);
    // A text at `reference` (or the current position when the alignment says so), with ETO_*
    // options and their rectangle.
    void Text(QPointF reference, const TextRun& run, quint32 options, const QRectF& rect);
    // Part of a bitmap onto a logical rectangle with a raster operation; no bitmap fills with
    // the brush (or black, white) as the operation says.
    void Bitmap(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop);
    // A bitmap already holding premultiplied alpha, or weighed by a constant alpha.
    void Blend(const QRectF& dest, const QImage& image, const QRectF& source, int constantAlpha);

    // Paths
    void BeginPath();
    void EndPath() { inPath_ = false; }
    void AbortPath();
    void CloseFigure();
    void FillPath(bool fill, bool stroke);
    void SelectClipPath(ClipMode mode);

    // Clipping: rectangles in logical units, regions in device units.
    void IntersectClipRect(const QRectF& rect);
    void ExcludeClipRect(const QRectF& rect);
    void SelectClipRegion(const std::optional<QPainterPath>& deviceRegion, ClipMode mode);
    void SelectClipObject(quint32 index); // an old-style metafile's region object, in logical units
    void OffsetClip(QPointF logical);

  private:
    struct State {
        int mapMode = 1;
        QPointF windowOrg, viewportOrg;
        QSizeF windowExt{1, 1}, viewportExt{1, 1};
        QTransform world;
        QPen pen{QColor(Qt::black), 0};
        Brush brush{QBrush(Qt::white), false};
        Font font;
        QColor textColor = Qt::black;
        QColor bkColor = Qt::white;
        bool bkOpaque = true;
        quint32 textAlign = 0;
        Qt::FillRule fill = Qt::OddEvenFill;
        int rop2 = 13;
        bool clockwise = false;
        double charExtra = 0;
        int stretchMode = 1;
        QPointF current;
        std::optional<QPainterPath> clip; // picture units
    };

    QTransform Page() const;
    QTransform Full() const; // logical to picture
    bool Drawable(const QTransform& t) const;
    void Draw(const QPainterPath& shape, bool fill, bool stroke);
    void DrawText(const QTransform& t, QPointF reference, const TextRun& run);
    void ApplyClip();
    void FlushMask();
    void RasterOp(const QTransform& t, const QRectF& dest, const QImage& image,
                  const QRectF& source, Blit blit);
    void DrawImage(const QTransform& t, const QRectF& dest, const QImage& image,
                   const QRectF& source, int constantAlpha);
    void Combine(const QPainterPath& picture, ClipMode mode);
    const Object* Find(quint32 index) const;
    void Select(const Object& object);

    QPainter& painter_;
    QTransform toPicture_;
    QSizeF unitsPerMm_;
    QRectF picture_;
    State dc_;
    std::vector<State> saved_;
    std::map<quint32, Object> objects_;
    struct PendingMask {
        QTransform t;
        QRectF dest;
        QImage image;
        QRectF source;
    };
    std::optional<PendingMask> mask_; // drawn once the next record shows what it is
    quint32 freeHint_ = 0;
    bool inPath_ = false;
    QPainterPath path_;
};

// The bitmaps one playing decodes, together: a few bytes of run-length data can stand for a
// bitmap of the whole bound, and a metafile can hold many of them.
class BitmapBudget {
  public:
    // Raises "Picture is too large" once the bitmaps decoded so far pass four times the bound.
    void Spend(qint64 width, qint64 height);

  private:
    qint64 spent_ = 0;
};

// Windows' colour value (0x00BBGGRR).
inline QColor ColorRef(quint32 value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
// A pen from its style bits, width in logical units (0: one pixel) and colour.
QPen MakePen(quint32 style, double width, QColor color, const QList<qreal>& userDashes = {});
// A brush from its style, colour and hatch; patterns are made by the players.
Brush MakeBrush(quint32 style, QColor color, quint32 hatch);
// Text of a font's character set, decoded a character at a time so that each keeps the
// advances given for its bytes.
TextRun DecodeText(const QByteArray& bytes, int charset, const QList<int>& byteAdvances);

} // namespace MetafileDevice
