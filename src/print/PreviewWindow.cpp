#include "print/PreviewWindow.h"

#include "print/PreviewForm.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

namespace {

class TPreviewWindow : public IReportPreview {
  public:
    TPreviewWindow(QWidget* parent, const QString& printerName,
                   std::function<void(const TJobSettings& job)> print,
                   std::function<void(const QString& pdfPath)> exportPdf)
        : form_(new TPreviewForm(parent ? parent : QApplication::activeModalWidget())) {
        // The window beneath, typically the print dialog, is inactive while the preview is up.
        form_->setWindowModality(Qt::ApplicationModal);
        form_->Job.printerName = printerName;
        form_->OnPrint = std::move(print);
        form_->OnExportPdf = std::move(exportPdf);
    }
    ~TPreviewWindow() override { delete form_.data(); }
    TPreviewWindow(const TPreviewWindow&) = delete;
    TPreviewWindow& operator=(const TPreviewWindow&) = delete;

    void Show(const QString& title) override {
        if (!form_)
            return;
        form_->setWindowTitle(title);
        form_->showMaximized();
    }
    void SetPages(std::shared_ptr<TReportPages> pages) override {
        if (form_)
            form_->SetPages(std::move(pages));
    }
    void SetProducedPages(int count) override {
        if (form_)
            form_->SetProducedPages(count);
    }
    void SetProducing(bool producing) override {
        if (form_)
            form_->SetProducing(producing);
    }
    void SetCloseEnabled(bool enabled) override {
        if (form_)
            form_->SetCloseEnabled(enabled);
    }
    void WaitUntilClosed() override {
        if (!form_ || !form_->isVisible())
            return;
        QEventLoop loop;
        QObject::connect(form_, &TPreviewForm::Closed, &loop, &QEventLoop::quit);
        QObject::connect(form_, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }

  private:
    // The user may close, and so destroy, the window while the report still holds it.
    QPointer<TPreviewForm> form_;
};

} // namespace

TPreviewFactory PreviewWindows(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](const QString& printerName, std::function<void(const TJobSettings& job)> print,
                   std::function<void(const QString& pdfPath)> exportPdf)
               -> std::unique_ptr<IReportPreview> {
        return std::make_unique<TPreviewWindow>(owner.data(), printerName, std::move(print),
                                                std::move(exportPdf));
    };
}
