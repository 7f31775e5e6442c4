// The floor of the anchor print job: the same work as tavrel-batch does for it, written with
// plain Qt and the Firebird client library and nothing of the program but its RTF reader. It
// attaches, reads the design and the sheet, decodes the picture, lays the text out once at
// printer resolution and draws 7 empty and 99 labels on A4 pages of 2 x 5 cells into a PDF.
// BatchBench runs it beside tavrel-batch for the ratio.
// Usage: BatchFloor DATABASE PDF
#include "data/EngineConfig.h"
#include "platform/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>
#include <cstring>
#include <firebird/Interface.h>
#include <vector>

using namespace Firebird;

namespace {

constexpr int kDpi = 1200;

double Dots(double mm) {
    return mm * kDpi / 25.4;
}

struct DesignRow {
    QByteArray text, picture;
};

QByteArray ReadBlob(ThrowStatusWrapper& st, IAttachment* att, ITransaction* tr, ISC_QUAD id) {
    IBlob* blob = att->openBlob(&st, tr, &id, 0, nullptr);
    QByteArray bytes;
    char buffer[32768];
    unsigned got = 0;
    for (;;) {
        const int result = blob->getSegment(&st, sizeof buffer, buffer, &got);
        if (result != IStatus::RESULT_OK && result != IStatus::RESULT_SEGMENT)
            break;
        bytes.append(buffer, got);
    }
    blob->close(&st);
    return bytes;
}

DesignRow ReadDesign(const char* database) {
    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper st(master->getStatus());
    IXpbBuilder* dpb = master->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_lc_ctype, "SJIS_0208");
    IAttachment* att = master->getDispatcher()->attachDatabase(
        &st, database, dpb->getBufferLength(&st), dpb->getBuffer(&st));
    ITransaction* tr = att->startTransaction(&st, 0, nullptr);
    IResultSet* rs = att->openCursor(
        &st, tr, 0, "SELECT FIRST 1 CARDTEXT, GAZOU FROM TAVREL WHERE NAME = 'anchor' ORDER BY ID",
        3, nullptr, nullptr, nullptr, nullptr, 0);
    IMessageMetadata* meta = rs->getMetadata(&st);
    std::vector<unsigned char> buffer(meta->getMessageLength(&st));
    DesignRow design;
    if (rs->fetchNext(&st, buffer.data()) == IStatus::RESULT_OK) {
        const auto blobAt = [&](unsigned field) {
            ISC_QUAD id;
            std::memcpy(&id, buffer.data() + meta->getOffset(&st, field), sizeof id);
            return ReadBlob(st, att, tr, id);
        };
        design.text = blobAt(0);
        design.picture = blobAt(1);
    }
    meta->release();
    rs->close(&st);
    // The sheet's row, read as the job reads it.
    IResultSet* sheet =
        att->openCursor(&st, tr, 0, "SELECT * FROM TAVRELSET WHERE PAPERNAME = '2x5'", 3, nullptr,
                        nullptr, nullptr, nullptr, 0);
    IMessageMetadata* sheetMeta = sheet->getMetadata(&st);
    std::vector<unsigned char> sheetRow(sheetMeta->getMessageLength(&st));
    while (sheet->fetchNext(&st, sheetRow.data()) == IStatus::RESULT_OK) {
    }
    sheetMeta->release();
    sheet->close(&st);
    tr->commit(&st);
    att->detach(&st);
    dpb->dispose();
    return design;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: BatchFloor DATABASE PDF\n");
        return 2;
    }
    EngineConfig::Use();
    QGuiApplication app(argc, argv);
    const DesignRow design = ReadDesign(argv[1]);
    const QImage picture = QImage::fromData(design.picture, "BMP");
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(kDpi / 0.0254));
    device.setDotsPerMeterY(qRound(kDpi / 0.0254));
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&device);
    doc.setUseDesignMetrics(true);
    doc.setDocumentMargin(0);
    RtfRead(design.text, &doc);
    doc.setTextWidth(Dots(86.4));
    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setResolution(kDpi);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&pdf);
    QPen frame(Qt::gray, 1, Qt::DotLine);
    frame.setCosmetic(true);
    const int cells = 7 + 99;
    for (int i = 0; i < cells; ++i) {
        if (i > 0 && i % 10 == 0)
            pdf.newPage();
        const int column = (i % 10) / 5, row = i % 5;
        const QRectF cell(Dots(15 + column * (86.4 + 2.5)), Dots(21.5 + row * 50.8), Dots(86.4),
                          Dots(50.8));
        painter.fillRect(cell, Qt::white);
        if (i >= 7) {
            painter.save();
            painter.translate(cell.topLeft());
            painter.setClipRect(QRectF(QPointF(), cell.size()));
            QAbstractTextDocumentLayout::PaintContext context;
            doc.documentLayout()->draw(&painter, context);
            painter.restore();
            painter.setRenderHint(QPainter::LosslessImageRendering);
            painter.drawImage(QRectF(cell.topLeft(), QSizeF(Dots(50.8), Dots(25.4))), picture);
        }
        painter.setPen(frame);
        painter.drawRect(cell);
    }
    return painter.end() ? 0 : 1;
}
