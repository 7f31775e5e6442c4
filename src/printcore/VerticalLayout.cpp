#include "printcore/VerticalLayout.h"

#include "model/BarcodeObject.h"
#include "platform/BarcodeField.h"
#include "platform/RichFormat.h"
#include "platform/SyntheticBold.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>

#include <hb.h>

#include <algorithm>
#include <memory>

namespace {

constexpr double kPointsPerInch = 72;
constexpr double kMmPerInch = 25.4;
constexpr double kLineWidthPerEm = 1.0 / 20;
constexpr char16_t kLineSeparator = u'\u2028';

struct HbDeleter {
    void operator()(hb_font_t* font) const { hb_font_destroy(font); }
    void operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }
};

// The face's tables as Qt reads them, so HarfBuzz shapes with the very file Qt draws with.
hb_blob_t* ReferenceTable(hb_face_t*, hb_tag_t tag, void* font) {
    const char name[5] = {static_cast<char>(tag >> 24), static_cast<char>(tag >> 16),
                          static_cast<char>(tag >> 8), static_cast<char>(tag), 0};
    auto* bytes = new QByteArray(static_cast<const QRawFont*>(font)->fontTable(name));
    return hb_blob_create(bytes->constData(), static_cast<unsigned>(bytes->size()),
                          HB_MEMORY_MODE_READONLY, bytes,
                          [](void* p) { delete static_cast<QByteArray*>(p); });
}

struct Glyph {
    quint32 index;
    QPointF offset;  // from the pen, y down
    QPointF advance; // y down
    int cluster;
};

// HarfBuzz over one face.
class Shaper {
  public:
    explicit Shaper(const QRawFont& raw) {
        hb_face_t* face = hb_face_create_for_tables(
            ReferenceTable, new QRawFont(raw), [](void* p) { delete static_cast<QRawFont*>(p); });
        upem_ = std::max(1u, hb_face_get_upem(face));
        font_.reset(hb_font_create(face));
        hb_face_destroy(face); // the font keeps its own reference
    }

    // text[from, to) shaped top to bottom with the vertical forms, or left to right.
    std::vector<Glyph> Shape(const QString& text, int from, int to, bool vertical,
                             double pixelSize) const {
        static const hb_feature_t verticalForms[] = {
            {HB_TAG('v', 'e', 'r', 't'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
            {HB_TAG('v', 'r', 't', '2'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        };
        const std::unique_ptr<hb_buffer_t, HbDeleter> buffer(hb_buffer_create());
        hb_buffer_add_utf16(buffer.get(), reinterpret_cast<const uint16_t*>(text.utf16()),
                            static_cast<int>(text.size()), static_cast<unsigned>(from), to - from);
        hb_buffer_guess_segment_properties(buffer.get());
        hb_buffer_set_direction(buffer.get(), vertical ? HB_DIRECTION_TTB : HB_DIRECTION_LTR);
        hb_buffer_set_language(buffer.get(), hb_language_from_string("ja", -1));
        hb_shape(font_.get(), buffer.get(), vertical ? verticalForms : nullptr, vertical ? 2 : 0);
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer.get(), &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer.get(), &count);
        const double scale = pixelSize / upem_;
        std::vector<Glyph> glyphs;
        glyphs.reserve(count);
        for (unsigned i = 0; i < count; ++i)
            glyphs.push_back({info[i].codepoint,
                              QPointF(pos[i].x_offset * scale, -pos[i].y_offset * scale),
                              QPointF(pos[i].x_advance * scale, -pos[i].y_advance * scale),
                              static_cast<int>(info[i].cluster)});
        return glyphs;
    }

    // Whether the face has a vertical form of c (punctuation stands upright only if it has).
    bool HasVerticalForm(QChar c) {
        auto found = verticalForms_.constFind(c.unicode());
        if (found != verticalForms_.constEnd())
            return *found;
        const QString text(c);
        const auto upright = Shape(text, 0, 1, true, upem_);
        const auto flat = Shape(text, 0, 1, false, upem_);
        const bool has = !upright.empty() && !flat.empty() && upright[0].index != flat[0].index;
        verticalForms_.insert(c.unicode(), has);
        return has;
    }

  private:
    std::unique_ptr<hb_font_t, HbDeleter> font_;
    unsigned upem_ = 1;
    QHash<char16_t, bool> verticalForms_;
};

Shaper& ShaperFor(const QRawFont& raw) {
    static QHash<QString, std::shared_ptr<Shaper>> shapers;
    const QString key = raw.familyName() + u'|' + raw.styleName();
    auto found = shapers.constFind(key);
    if (found == shapers.constEnd())
        found = shapers.insert(key, std::make_shared<Shaper>(raw));
    return **found;
}

enum class Kind { Upright, Sideways, Digits, Break, Object };

// General punctuation stands upright where the face has a vertical form, and a few signs
// always do; everything of the Latin, Greek and Cyrillic blocks and the half-width forms lie.
Kind KindOf(QChar c, Shaper& shaper) {
    const char16_t u = c.unicode();
    if (u == kLineSeparator)
        return Kind::Break;
    if (u >= u'0' && u <= u'9')
        return Kind::Digits;
    if (u < 0x1100 || (u >= 0xFF61 && u <= 0xFFDC) || (u >= 0xFFE8 && u <= 0xFFEE))
        return Kind::Sideways;
    if (u >= 0x2000 && u <= 0x206F && u != 0x203B && u != 0x2020 && u != 0x2021 && u != 0x2016)
        return shaper.HasVerticalForm(c) ? Kind::Upright : Kind::Sideways;
    return Kind::Upright;
}

// Marks that never begin a column: closing brackets, stops, small kana, the long vowel mark.
bool KeepsWithPrevious(QChar c) {
    static const QString marks = QString::fromUtf16(
        u"、。，．・：；？！ー」』）〕］｝〉》】ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ");
    return marks.contains(c);
}

// The fonts of one run of text at device size.
struct Faces {
    Faces(const QTextCharFormat& format, double dpi) {
        QFont font = format.font();
        font.setPointSizeF(format.fontPointSize() > 0 ? format.fontPointSize()
                                                      : RichFormat::DefaultPointSize);
        pixelSize = font.pointSizeF() * dpi / kPointsPerInch;
        own = Raw(font, QFontDatabase::Any);
        japanese = Raw(font, QFontDatabase::Japanese);
    }
    // A face without a bold of its own is drawn regular and emboldened when drawn, the same
    // on every device: the engine's own emboldening blots when the run is scaled down.
    QRawFont Raw(const QFont& font, QFontDatabase::WritingSystem system) const {
        QRawFont raw = QRawFont::fromFont(font, system);
        if (font.bold())
            raw = UnthickenedFace(raw, font, system);
        raw.setPixelSize(pixelSize);
        return raw;
    }
    // The format's own face, or the Japanese one the text falls back to when it lacks c.
    const QRawFont& For(QChar c) const {
        return own.supportsCharacter(c) || !japanese.isValid() ? own : japanese;
    }
    double pixelSize;
    QRawFont own, japanese;
};

// A unit of a column: a square, a number in one square, or a turned word.
struct Piece {
    QRawFont raw;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    QTransform local; // its frame into the column's: x from the column's centre, y from its top
    double length = 0;
    double breadth = 0;
    QTextCharFormat format;
    QSizeF object; // a barcode's size as it reads, lying along the column
    int from = 0;
    int to = 0;
    Kind kind = Kind::Upright;
    bool keepWithPrevious = false;
};

class BlockSetter {
  public:
    BlockSetter(const QTextBlock& block, double dpi, TBarcodeObject* barcodes)
        : block_(block), dpi_(dpi), barcodes_(barcodes) {}

    std::vector<Piece> Pieces() {
        text_ = block_.text();
        for (auto it = block_.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const int start = fragment.position() - block_.position();
            Fragment(fragment.charFormat(), start, start + fragment.length());
        }
        return std::move(pieces_);
    }

  private:
    void Fragment(const QTextCharFormat& format, int from, int to) {
        if (format.objectType() == BarcodeField::ObjectType) {
            for (int at = from; at < to; ++at)
                Barcode(format, at);
            return;
        }
        const Faces faces(format, dpi_);
        int start = from;
        while (start < to) {
            const QRawFont& raw = faces.For(text_.at(start));
            Shaper& shaper = ShaperFor(raw);
            const Kind kind = KindOf(text_.at(start), shaper);
            int end = start + 1;
            while (end < to && kind != Kind::Break && KindOf(text_.at(end), shaper) == kind &&
                   &faces.For(text_.at(end)) == &raw)
                ++end;
            Segment(format, raw, shaper, kind, start, end);
            start = end;
        }
    }

    void Segment(const QTextCharFormat& format, const QRawFont& raw, Shaper& shaper, Kind kind,
                 int from, int to) {
        if (kind == Kind::Break)
            pieces_.push_back(Make(format, raw, Kind::Break, from, to));
        else if (kind == Kind::Upright)
            Upright(format, raw, shaper, from, to);
        else if (kind == Kind::Digits && to - from <= 2)
            SideBySide(format, raw, shaper, from, to);
        else
            Words(format, raw, shaper, from, to);
    }

    Piece Make(const QTextCharFormat& format, const QRawFont& raw, Kind kind, int from, int to) {
        Piece piece;
        piece.raw = raw;
        piece.format = format;
        piece.kind = kind;
        piece.from = from;
        piece.to = to;
        piece.breadth = raw.ascent() + raw.descent();
        piece.keepWithPrevious = KeepsWithPrevious(text_.at(from));
        return piece;
    }

    // One piece per character cluster, in the vertical forms.
    void Upright(const QTextCharFormat& format, const QRawFont& raw, Shaper& shaper, int from,
                 int to) {
        const auto glyphs = shaper.Shape(text_, from, to, true, raw.pixelSize());
        for (std::size_t i = 0; i < glyphs.size();) {
            std::size_t end = i + 1;
            while (end < glyphs.size() && glyphs[end].cluster == glyphs[i].cluster)
                ++end;
            const int next = end < glyphs.size() ? glyphs[end].cluster : to;
            Piece piece = Make(format, raw, Kind::Upright, glyphs[i].cluster, next);
            for (std::size_t g = i; g < end; ++g) {
                piece.glyphs.append(glyphs[g].index);
                piece.positions.append(QPointF(0, piece.length) + glyphs[g].offset);
                piece.length += glyphs[g].advance.y();
            }
            pieces_.push_back(std::move(piece));
            i = end;
        }
    }

    // A barcode turned clockwise like a Latin word, so its bars cross the column.
    void Barcode(const QTextCharFormat& format, int at) {
        if (!barcodes_)
            return;
        Piece piece;
        piece.format = format;
        piece.kind = Kind::Object;
        piece.from = at;
        piece.to = at + 1;
        piece.object = barcodes_->Symbol(format).size * (dpi_ / kMmPerInch);
        piece.length = piece.object.width();
        piece.breadth = piece.object.height();
        piece.local.rotate(90);
        pieces_.push_back(std::move(piece));
    }

    // Left to right from 0 on a baseline centred across the column.
    static double Horizontal(const std::vector<Glyph>& glyphs, double baseline, Piece& piece) {
        double pen = 0;
        for (const Glyph& glyph : glyphs) {
            piece.glyphs.append(glyph.index);
            piece.positions.append(QPointF(pen, baseline) + glyph.offset);
            pen += glyph.advance.x();
        }
        return pen;
    }

    // A number of one or two digits upright in one square, narrowed if it is wider.
    void SideBySide(const QTextCharFormat& format, const QRawFont& raw, Shaper& shaper, int from,
                    int to) {
        Piece piece = Make(format, raw, Kind::Digits, from, to);
        const double em = raw.pixelSize();
        const double baseline = em / 2 + (raw.ascent() - raw.descent()) / 2;
        const double width = Horizontal(shaper.Shape(text_, from, to, false, em), baseline, piece);
        const double squeeze = width > em ? em / width : 1.0;
        piece.local = QTransform::fromTranslate(-width / 2, 0) * QTransform::fromScale(squeeze, 1);
        piece.length = em;
        pieces_.push_back(std::move(piece));
    }

    // Latin, half-width and long numbers turned clockwise, a piece per word with its blanks.
    void Words(const QTextCharFormat& format, const QRawFont& raw, Shaper& shaper, int from,
               int to) {
        const double baseline = (raw.ascent() - raw.descent()) / 2;
        for (int start = from; start < to;) {
            int end = start;
            while (end < to && text_.at(end) != u' ')
                ++end;
            while (end < to && text_.at(end) == u' ')
                ++end;
            Piece piece = Make(format, raw, Kind::Sideways, start, end);
            piece.length = Horizontal(shaper.Shape(text_, start, end, false, raw.pixelSize()),
                                      baseline, piece);
            piece.local.rotate(90);
            pieces_.push_back(std::move(piece));
            start = end;
        }
    }

    QTextBlock block_;
    double dpi_;
    TBarcodeObject* barcodes_;
    QString text_;
    std::vector<Piece> pieces_;
};

// Pieces broken into columns of at most height; a line separator always ends one.
std::vector<std::vector<const Piece*>> Columns(const std::vector<Piece>& pieces, double height) {
    std::vector<std::vector<const Piece*>> columns(1);
    double used = 0;
    for (const Piece& piece : pieces) {
        if (piece.kind == Kind::Break) {
            columns.emplace_back();
            used = 0;
            continue;
        }
        const bool full = used + piece.length > height && !columns.back().empty();
        // One mark may hang below the column's end; the next one starts a new column.
        if (full && (!piece.keepWithPrevious || used > height)) {
            columns.emplace_back();
            used = 0;
        }
        columns.back().push_back(&piece);
        used += piece.length;
    }
    return columns;
}

double AlignShare(const QTextBlock& block) {
    const Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        return 0.5;
    if (align & (Qt::AlignRight | Qt::AlignTrailing))
        return 1.0;
    return 0.0;
}

double BaselineShift(const QTextCharFormat& format, double dpi) {
    return RichFormat::OffsetTwips(format) / double(RichFormat::TwipsPerPoint) * dpi /
           kPointsPerInch;
}

} // namespace

TVerticalLayout::TVerticalLayout(const QTextDocument& doc, const QSizeF& area, double dpi)
    : barcodes_(dynamic_cast<TBarcodeObject*>(
          doc.documentLayout()->handlerForObject(BarcodeField::ObjectType))) {
    double right = area.width();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const std::vector<Piece> pieces = BlockSetter(block, dpi, barcodes_).Pieces();
        const double emptyBreadth = [&] {
            const Faces faces(block.charFormat(), dpi);
            return faces.own.ascent() + faces.own.descent();
        }();
        for (const auto& column : Columns(pieces, area.height())) {
            double breadth = column.empty() ? emptyBreadth : 0;
            double used = 0;
            for (const Piece* piece : column) {
                breadth = std::max(breadth, piece->breadth);
                used += piece->length;
            }
            const double centre = right - breadth / 2;
            double top = std::max(0.0, area.height() - used) * AlignShare(block);
            for (const Piece* piece : column) {
                TVerticalRun run;
                run.glyphs.setRawFont(piece->raw);
                run.glyphs.setGlyphIndexes(piece->glyphs);
                run.glyphs.setPositions(piece->positions);
                run.transform = piece->local * QTransform::fromTranslate(
                                                   centre + BaselineShift(piece->format, dpi), top);
                run.format = piece->format;
                run.object = piece->object;
                run.from = block.position() + piece->from;
                run.to = block.position() + piece->to;
                run.box = QRectF(right - breadth, top, breadth, piece->length);
                runs_.push_back(std::move(run));
                top += piece->length;
            }
            right -= breadth;
        }
    }
}

void TVerticalLayout::Draw(QPainter& painter, const QColor& defaultColor) const {
    const QTransform base = painter.worldTransform();
    for (const TVerticalRun& run : runs_) {
        const QColor own = RichFormat::TextColor(run.format);
        const QColor colour = own.isValid() ? own : defaultColor;
        painter.setPen(colour);
        painter.setWorldTransform(run.transform * base);
        if (!run.object.isEmpty()) {
            const QRectF symbol(QPointF(0, -run.object.height() / 2), run.object);
            barcodes_->drawObject(&painter, symbol, nullptr, 0, run.format);
            painter.setWorldTransform(base);
            continue;
        }
        painter.drawGlyphRun(QPointF(), run.glyphs);
        StrokeSyntheticBold(painter, run.glyphs, QPointF(), run.format, true);
        painter.setWorldTransform(base);
        // Lines along the column: an underline on its right, a strike-out through its middle.
        const double width = run.glyphs.rawFont().pixelSize() * kLineWidthPerEm;
        if (run.format.fontUnderline())
            painter.fillRect(
                QRectF(run.box.right() - width, run.box.top(), width, run.box.height()), colour);
        if (run.format.fontStrikeOut())
            painter.fillRect(
                QRectF(run.box.center().x() - width / 2, run.box.top(), width, run.box.height()),
                colour);
    }
}

std::vector<QRectF> TVerticalLayout::Boxes(int from, int to) const {
    std::vector<QRectF> boxes;
    for (const TVerticalRun& run : runs_) {
        if (run.to <= from || run.from >= to)
            continue;
        if (!boxes.empty() && boxes.back().left() == run.box.left() &&
            boxes.back().bottom() == run.box.top())
            boxes.back() = boxes.back().united(run.box);
        else
            boxes.push_back(run.box);
    }
    return boxes;
}
