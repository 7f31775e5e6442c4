// Typing into a 2 KB label text at the largest magnification with the label's outline shown:
// each keystroke is laid out and painted before the next.
#include "BenchSupport.h"
#include "labels/DBRichEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>

namespace {

// Milliseconds per keystroke, each laid out and painted before the next.
std::vector<double> Type(TDBRichEdit& editor, int keys) {
    std::vector<double> times;
    for (int i = 0; i < keys; ++i) {
        const double t0 = bench::NowMs();
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("あ"));
        QApplication::sendEvent(&editor, &key);
        editor.viewport()->repaint();
        QCoreApplication::processEvents();
        times.push_back(bench::NowMs() - t0);
    }
    return times;
}

void Report(const char* what, const TDBRichEdit& editor, const std::vector<double>& times) {
    std::printf("%s, %d characters at %d %%: median %.2f ms, worst %.2f ms a key over %zu keys\n",
                what, editor.document()->characterCount(), editor.Zoom(), bench::Median(times),
                *std::max_element(times.begin(), times.end()), times.size());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TDBRichEdit editor;
    editor.resize(331, 223);
    QTextCursor cursor(editor.document());
    QTextCharFormat format = TDBRichEdit::DefAttributes();
    for (int line = 0; editor.document()->characterCount() < 2048; ++line) {
        format.setFontPointSize(8 + line % 12);
        cursor.insertText(
            QStringLiteral("〒100-0001 東京都千代田区千代田1-1 ラベル %1\n").arg(line), format);
    }
    editor.setReadOnly(false); // no record behind it: typing goes straight into the text
    editor.show();
    editor.moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    const std::vector<double> plain = Type(editor, 300);
    Report("plain", editor, plain);
    editor.SetLabelOutline(QRectF(-7.5, 3.8, 325, 189));
    editor.SetZoom(400);
    QCoreApplication::processEvents();
    const std::vector<double> zoomed = Type(editor, 300);
    Report("outline and zoom", editor, zoomed);
    return bench::Median(zoomed) < 16 ? 0 : 1;
}
