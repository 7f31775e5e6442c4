#include "print/VerticalView.h"

#include "model/KanjiNumerals.h"
#include "platform/TextFlow.h"
#include "printcore/CellPainter.h"
#include "printcore/VerticalLayout.h"

#include <QPainter>
#include <QTextDocument>
#include <QTextEdit>
#include <memory>

namespace {

constexpr int kMargin = 12;
constexpr double kLogicalDpi = 96;
// Without a sheet the text is set in a card of 100 x 148 mm, a postcard.
const QSizeF kPostcardPixels(100 / 25.4 * kLogicalDpi, 148 / 25.4 * kLogicalDpi);

} // namespace

TVerticalView::TVerticalView(QTextEdit* editor, std::function<QRectF()> outline, QWidget* owner)
    : QWidget(owner, Qt::Tool), editor_(editor), outline_(std::move(outline)), owner_(owner) {
    setObjectName(QStringLiteral("VerticalView1"));
    setWindowTitle(QStringLiteral("縦書き"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(editor->document(), &QTextDocument::contentsChanged, this, &TVerticalView::Refresh);
}

QRectF TVerticalView::Label() const {
    const QRectF outline = outline_ ? outline_() : QRectF();
    return outline.isEmpty() ? QRectF(QPointF(), kPostcardPixels) : outline;
}

void TVerticalView::Refresh() {
    if (!editor_ || !TextFlow::IsVertical(*editor_->document())) {
        hide();
        return;
    }
    const QRectF label = Label();
    setFixedSize(qCeil(label.width()) + 2 * kMargin, qCeil(label.height()) + 2 * kMargin);
    if (!placed_ && owner_) {
        move(owner_->frameGeometry().topRight() + QPoint(kMargin, 0));
        placed_ = true;
    }
    show();
    update();
}

void TVerticalView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!editor_)
        return;
    const QRectF label = Label();
    const QRectF shown(QPointF(kMargin, kMargin), label.size());
    painter.fillRect(shown, Qt::white);
    painter.setPen(QPen(Qt::gray, 0, Qt::DotLine));
    painter.drawRect(shown);
    // The columns begin at the right edge less the left correction and run from the top
    // correction down, as they print; the text origin lies at -label.topLeft() in the label.
    const QSizeF area(label.width() + label.left(), label.height() + label.top());
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const double dots = PrinterDpi / kLogicalDpi;
    const QTextDocument* text = editor_->document();
    std::unique_ptr<QTextDocument> converted;
    if (TextFlow::KanjiNumerals(*text)) {
        converted.reset(text->clone());
        KanjiNumerals::Apply(*converted);
        text = converted.get();
    }
    const TVerticalLayout layout(*text, area * dots, PrinterDpi);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(shown);
    painter.translate(shown.left(), shown.top() - label.top());
    painter.scale(1 / dots, 1 / dots);
    layout.Draw(painter, Qt::black);
}
