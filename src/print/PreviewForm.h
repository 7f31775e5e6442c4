#pragma once

#include "printcore/PrintJob.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QScrollArea;
class QSpinBox;
class QToolButton;
class TReportPages;

// One page of the preview at the zoom chosen, with the search hits marked.
class TPreviewPage : public QWidget {
  public:
    explicit TPreviewPage(QWidget* parent = nullptr);
    void Show(std::shared_ptr<TReportPages> pages, int index, double pixelsPerDot);
    void SetHits(std::vector<QRectF> hits);
    const std::vector<QRectF>& Hits() const { return hits_; }
    // Draws the page as shown on screen (also used for tests and snapshots).
    void Render(QPainter& painter);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::shared_ptr<TReportPages> pages_;
    int index_ = -1;
    double scale_ = 1;
    std::vector<QRectF> hits_;
};

// The preview window of the page-layout facility: pages, zoom, search, printer setup, print and
// a PDF copy. It cannot be closed while pages are being produced or its close is disabled.
class TPreviewForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TPreviewForm(QWidget* parent = nullptr);
    ~TPreviewForm() override;

    enum class ZoomMode { Fit, Width, Factor };

    // The pages of the current production; they become visible as they are produced.
    void SetPages(std::shared_ptr<TReportPages> pages);
    void SetProducedPages(int count);
    int PageCount() const { return produced_; }
    int CurrentPage() const { return current_; }
    void ShowPage(int index);

    void SetProducing(bool producing);
    void SetCloseEnabled(bool enabled);
    bool CanClose() const { return closeEnabled_ && !producing_; }

    ZoomMode Zoom() const { return mode_; }
    // Screen pixels per printer dot of the page shown.
    double Scale() const { return scale_; }
    int ZoomPercent() const;

    // Writes the pages to a PDF file: those OnExportPdf produces, else the ones shown.
    void ExportPdf(const QString& path);
    // The default file name of the PDF copy: the title, made safe for a file system.
    QString PdfFileName() const;
    // Where the save box proposes the copy: the folder of the last copy, else the documents
    // folder, else the home folder.
    static QString DefaultPdfPath(const QString& suggested);

    // The settings of the next print job.
    TJobSettings Job;
    std::function<void(const TJobSettings& job)> OnPrint;
    // Produces the printer's pages into a PDF file, so that the copy prints like the printout.
    std::function<void(const QString& path)> OnExportPdf;
    // Replaceable for tests: the PDF path asked of the user (empty: cancelled), and the printer
    // setup (false: cancelled).
    std::function<QString(const QString& suggested)> AskPdfPath;
    std::function<bool(TJobSettings& job)> AskPrinterSetup;

    QToolButton* FirstPageBtn = nullptr;
    QToolButton* PriorPageBtn = nullptr;
    QSpinBox* PageEdit = nullptr;
    QToolButton* NextPageBtn = nullptr;
    QToolButton* LastPageBtn = nullptr;
    QToolButton* ZoomFitBtn = nullptr;
    QToolButton* ZoomWidthBtn = nullptr;
    QToolButton* ZoomOutBtn = nullptr;
    QToolButton* ZoomInBtn = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QToolButton* SearchBtn = nullptr;
    QToolButton* PrinterSetupBtn = nullptr;
    QToolButton* PrintBtn = nullptr;
    QToolButton* PdfBtn = nullptr;
    QToolButton* CloseBtn = nullptr;
    QScrollArea* ScrollBox = nullptr;
    TPreviewPage* PageView = nullptr;
    QLabel* PageLabel = nullptr;
    QLabel* ZoomLabel = nullptr;

    void FirstPageBtnClick() { ShowPage(0); }
    void PriorPageBtnClick() { ShowPage(current_ - 1); }
    void NextPageBtnClick() { ShowPage(current_ + 1); }
    void LastPageBtnClick() { ShowPage(produced_ - 1); }
    void ZoomFitBtnClick() { SetZoom(ZoomMode::Fit, scale_); }
    void ZoomWidthBtnClick() { SetZoom(ZoomMode::Width, scale_); }
    void ZoomInBtnClick();
    void ZoomOutBtnClick();
    // Finds the text from the page shown on (the next page when it is searched again).
    void SearchBtnClick();
    void PrinterSetupBtnClick();
    void PrintBtnClick();
    void PdfBtnClick();
    void CloseBtnClick() { close(); }

  signals:
    void Closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void CreateToolBar();
    QToolButton* AddButton(QToolBar* bar, const QString& caption, const QString& hint,
                           void (TPreviewForm::*handler)());
    void SetZoom(ZoomMode mode, double scale);
    double ActualSizeScale() const;
    void UpdateView();
    void UpdateControls();
    std::vector<QRectF> HitsOn(int index);
    void Guarded(const std::function<void()>& work);

    std::shared_ptr<TReportPages> pages_;
    int produced_ = 0;
    int current_ = 0;
    ZoomMode mode_ = ZoomMode::Fit;
    double scale_ = 0.1;
    bool closeEnabled_ = true;
    bool producing_ = false;
    QString searched_;
};
