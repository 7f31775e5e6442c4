#include "print/PreviewForm.h"

#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/WaitCursor.h"
#include "print/PrinterSetupForm.h"
#include "printcore/ReportPages.h"
#include "ui/Hints.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <array>

namespace {

constexpr std::array kZoomSteps = {10, 25, 50, 75, 100, 125, 150, 200, 300, 400};
constexpr int kPageGap = 12; // grey border around the page, screen pixels
const QColor kHitColor(255, 220, 0, 110);

// The folder of the last PDF copy of this run.
QString& LastPdfFolder() {
    static QString folder;
    return folder;
}

} // namespace

QString TPreviewForm::DefaultPdfPath(const QString& suggested) {
    // A folder that does not exist would put the dialog in the program's folder.
    QString folder = LastPdfFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(suggested);
}

// ---------------------------------------------------------------------------
// TPreviewPage

TPreviewPage::TPreviewPage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPreviewPage::Show(std::shared_ptr<TReportPages> pages, int index, double pixelsPerDot) {
    pages_ = std::move(pages);
    index_ = index;
    scale_ = pixelsPerDot;
    const QSizeF size = pages_ ? pages_->PageSize() * scale_ : QSizeF();
    resize(std::max(1, qCeil(size.width())), std::max(1, qCeil(size.height())));
    update();
}

void TPreviewPage::SetHits(std::vector<QRectF> hits) {
    hits_ = std::move(hits);
    update();
}

void TPreviewPage::Render(QPainter& painter) {
    painter.fillRect(rect(), Qt::white);
    if (!pages_ || index_ < 0 || index_ >= pages_->Count())
        return;
    painter.save();
    painter.scale(scale_, scale_);
    pages_->DrawPage(painter, index_);
    for (const QRectF& hit : hits_)
        painter.fillRect(hit, kHitColor);
    painter.restore();
}

void TPreviewPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Render(painter);
}

// ---------------------------------------------------------------------------
// TPreviewForm

TPreviewForm::TPreviewForm(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    CreateToolBar();
    ScrollBox = new QScrollArea(this);
    ScrollBox->setAlignment(Qt::AlignCenter);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    PageView = new TPreviewPage;
    ScrollBox->setWidget(PageView);
    setCentralWidget(ScrollBox);
    PageLabel = new QLabel(this);
    ZoomLabel = new QLabel(this);
    statusBar()->addWidget(PageLabel);
    statusBar()->addPermanentWidget(ZoomLabel);
    statusBar()->setSizeGripEnabled(false);
    AskPdfPath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("PDFファイルに保存"),
                                            DefaultPdfPath(suggested),
                                            QStringLiteral("PDF (*.pdf)"));
    };
    AskPrinterSetup = [this](TJobSettings& job) { return TPrinterSetupForm::Execute(job, this); };
    resize(900, 700);
    UpdateControls();
}

TPreviewForm::~TPreviewForm() {
    // The window beneath must not keep showing a hint of a button that is gone.
    Hints::SetCurrentHint(QString());
}

QToolButton* TPreviewForm::AddButton(QToolBar* bar, const QString& caption, const QString& hint,
                                     void (TPreviewForm::*handler)()) {
    auto* button = new QToolButton(bar);
    button->setText(caption);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(button, &QToolButton::clicked, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    bar->addWidget(button);
    return button;
}

void TPreviewForm::CreateToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("プレビュー"));
    bar->setMovable(false);
    FirstPageBtn = AddButton(bar, QStringLiteral("|◀"), QStringLiteral("最初のページ"),
                             &TPreviewForm::FirstPageBtnClick);
    PriorPageBtn = AddButton(bar, QStringLiteral("◀"), QStringLiteral("前のページ"),
                             &TPreviewForm::PriorPageBtnClick);
    PageEdit = new QSpinBox(bar);
    PageEdit->setToolTip(QStringLiteral("表示するページ"));
    PageEdit->setKeyboardTracking(false);
    bar->addWidget(PageEdit);
    connect(PageEdit, &QSpinBox::valueChanged, this, [this](int page) {
        Guarded([&] {
            if (page - 1 != current_)
                ShowPage(page - 1);
        });
    });
    NextPageBtn = AddButton(bar, QStringLiteral("▶"), QStringLiteral("次のページ"),
                            &TPreviewForm::NextPageBtnClick);
    LastPageBtn = AddButton(bar, QStringLiteral("▶|"), QStringLiteral("最後のページ"),
                            &TPreviewForm::LastPageBtnClick);
    PriorPageBtn->setShortcut(Qt::Key_PageUp);
    NextPageBtn->setShortcut(Qt::Key_PageDown);
    bar->addSeparator();
    ZoomFitBtn = AddButton(bar, QStringLiteral("全体"), QStringLiteral("ページ全体を表示します"),
                           &TPreviewForm::ZoomFitBtnClick);
    ZoomWidthBtn = AddButton(bar, QStringLiteral("幅"), QStringLiteral("ページの幅に合わせます"),
                             &TPreviewForm::ZoomWidthBtnClick);
    ZoomOutBtn = AddButton(bar, QStringLiteral("縮小"), QStringLiteral("縮小します"),
                           &TPreviewForm::ZoomOutBtnClick);
    ZoomInBtn = AddButton(bar, QStringLiteral("拡大"), QStringLiteral("拡大します"),
                          &TPreviewForm::ZoomInBtnClick);
    bar->addSeparator();
    SearchEdit = new QLineEdit(bar);
    SearchEdit->setPlaceholderText(QStringLiteral("検索する文字"));
    SearchEdit->setMaximumWidth(180);
    bar->addWidget(SearchEdit);
    SearchBtn = AddButton(bar, QStringLiteral("検索"), QStringLiteral("ラベルの文字を検索します"),
                          &TPreviewForm::SearchBtnClick);
    connect(SearchEdit, &QLineEdit::returnPressed, this,
            [this] { Guarded([this] { SearchBtnClick(); }); });
    bar->addSeparator();
    PrinterSetupBtn =
        AddButton(bar, QStringLiteral("プリンタ設定"), QStringLiteral("プリンタと部数を設定します"),
                  &TPreviewForm::PrinterSetupBtnClick);
    PrintBtn = AddButton(bar, QStringLiteral("印刷"), QStringLiteral("印刷します"),
                         &TPreviewForm::PrintBtnClick);
    PdfBtn = AddButton(bar, QStringLiteral("PDF保存"), QStringLiteral("PDFファイルに保存します"),
                       &TPreviewForm::PdfBtnClick);
    bar->addSeparator();
    CloseBtn = AddButton(bar, QStringLiteral("閉じる"), QStringLiteral("プレビューを閉じます"),
                         &TPreviewForm::CloseBtnClick);
}

void TPreviewForm::Guarded(const std::function<void()>& work) {
    Messages::RunGuarded(work, this);
}

void TPreviewForm::SetPages(std::shared_ptr<TReportPages> pages) {
    pages_ = std::move(pages);
    produced_ = 0;
    current_ = 0;
    SetZoom(mode_, scale_);
}

void TPreviewForm::SetProducedPages(int count) {
    produced_ = pages_ ? std::clamp(count, 0, pages_->Count()) : 0;
    if (produced_ == 1)
        UpdateView();
    else
        UpdateControls();
}

void TPreviewForm::ShowPage(int index) {
    if (produced_ == 0)
        return;
    current_ = std::clamp(index, 0, produced_ - 1);
    UpdateView();
    ScrollBox->verticalScrollBar()->setValue(0);
}

void TPreviewForm::SetProducing(bool producing) {
    producing_ = producing;
    UpdateControls();
}

void TPreviewForm::SetCloseEnabled(bool enabled) {
    closeEnabled_ = enabled;
    UpdateControls();
}

double TPreviewForm::ActualSizeScale() const {
    return logicalDpiX() / static_cast<double>(PrinterDpi);
}

int TPreviewForm::ZoomPercent() const {
    return qRound(100 * scale_ / ActualSizeScale());
}

void TPreviewForm::SetZoom(ZoomMode mode, double scale) {
    mode_ = mode;
    scale_ = scale;
    if (pages_ && mode != ZoomMode::Factor) {
        const QSizeF page = pages_->PageSize();
        const QSize room = ScrollBox->maximumViewportSize() - QSize(2 * kPageGap, 2 * kPageGap);
        const double byWidth = room.width() / page.width();
        const double byHeight = room.height() / page.height();
        scale_ = mode == ZoomMode::Fit
                     ? std::min(byWidth, byHeight)
                     : (room.width() - ScrollBox->verticalScrollBar()->sizeHint().width()) /
                           page.width();
        scale_ = std::max(scale_, ActualSizeScale() * kZoomSteps.front() / 100.0);
    }
    UpdateView();
}

void TPreviewForm::ZoomInBtnClick() {
    const int percent = ZoomPercent();
    for (int step : kZoomSteps) {
        if (step > percent) {
            SetZoom(ZoomMode::Factor, ActualSizeScale() * step / 100.0);
            return;
        }
    }
}

void TPreviewForm::ZoomOutBtnClick() {
    const int percent = ZoomPercent();
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
        if (*it < percent) {
            SetZoom(ZoomMode::Factor, ActualSizeScale() * *it / 100.0);
            return;
        }
    }
}

std::vector<QRectF> TPreviewForm::HitsOn(int index) {
    if (searched_.isEmpty() || !pages_ || index >= produced_)
        return {};
    return pages_->FindText(index, searched_);
}

void TPreviewForm::UpdateView() {
    const int index = produced_ > 0 ? current_ : -1;
    PageView->Show(pages_, index, scale_);
    PageView->SetHits(index >= 0 ? HitsOn(index) : std::vector<QRectF>());
    UpdateControls();
}

void TPreviewForm::UpdateControls() {
    const bool any = produced_ > 0;
    FirstPageBtn->setEnabled(any && current_ > 0);
    PriorPageBtn->setEnabled(any && current_ > 0);
    NextPageBtn->setEnabled(any && current_ < produced_ - 1);
    LastPageBtn->setEnabled(any && current_ < produced_ - 1);
    {
        const QSignalBlocker block(PageEdit);
        PageEdit->setRange(any ? 1 : 0, produced_);
        PageEdit->setValue(any ? current_ + 1 : 0);
        PageEdit->setSuffix(QStringLiteral(" / %1").arg(produced_));
    }
    PrintBtn->setEnabled(!producing_);
    PdfBtn->setEnabled(any && !producing_);
    PrinterSetupBtn->setEnabled(!producing_);
    CloseBtn->setEnabled(CanClose());
    PageLabel->setText(any ? QStringLiteral("%1 / %2 ページ").arg(current_ + 1).arg(produced_)
                           : QString());
    ZoomLabel->setText(QStringLiteral("%1%").arg(ZoomPercent()));
}

void TPreviewForm::SearchBtnClick() {
    const QString text = SearchEdit->text();
    const bool again = text.compare(searched_, Qt::CaseInsensitive) == 0 && !searched_.isEmpty();
    searched_ = text;
    if (text.isEmpty() || produced_ == 0) {
        UpdateView();
        return;
    }
    const int start = again ? current_ + 1 : current_;
    for (int i = 0; i < produced_; ++i) {
        const int page = (start + i) % produced_;
        if (!pages_->FindText(page, text).empty()) {
            ShowPage(page);
            statusBar()->clearMessage();
            return;
        }
    }
    UpdateView();
    statusBar()->showMessage(QStringLiteral("「%1」は見つかりませんでした。").arg(text));
}

void TPreviewForm::PrinterSetupBtnClick() {
    TJobSettings job = Job;
    if (AskPrinterSetup && AskPrinterSetup(job))
        Job = job;
}

void TPreviewForm::PrintBtnClick() {
    if (OnPrint)
        OnPrint(Job);
}

QString TPreviewForm::PdfFileName() const {
    QString name = windowTitle().trimmed();
    for (QChar& c : name) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    return (name.isEmpty() ? QStringLiteral("labels") : name) + QStringLiteral(".pdf");
}

void TPreviewForm::PdfBtnClick() {
    const QString path = AskPdfPath ? AskPdfPath(PdfFileName()) : QString();
    if (path.isEmpty())
        return;
    ExportPdf(path);
    LastPdfFolder() = QFileInfo(path).absolutePath();
}

void TPreviewForm::ExportPdf(const QString& path) {
    if (!pages_ || produced_ == 0)
        return;
    if (const auto refusal = RefusePdfTarget(path, Settings::DbPath, Settings::SettingsFile()))
        throw EError(TPdfDocument::FailureText() + QLatin1Char('\n') +
                     QDir::toNativeSeparators(path) + QStringLiteral(": ") + refusal->japanese);
    WaitCursor wait;
    if (OnExportPdf) {
        OnExportPdf(path);
        return;
    }
    TPdfDocument pdf(path, pages_->Page().paper, pages_->Page().title);
    for (int i = 0; i < produced_; ++i) {
        if (i > 0)
            pdf.NewPage();
        pages_->DrawPage(pdf.Painter(), i);
    }
    pdf.Finish();
}

void TPreviewForm::closeEvent(QCloseEvent* event) {
    if (!CanClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

void TPreviewForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (mode_ != ZoomMode::Factor)
        SetZoom(mode_, scale_);
}

void TPreviewForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (mode_ != ZoomMode::Factor)
        SetZoom(mode_, scale_);
}
