#include "dialogs/AboutU.h"

#include "data/DbConnect.h"
#include "platform/Help.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/Version.h"
#include "ui/Hints.h"

#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

QLabel* MakeText(QWidget* parent, const QRect& geometry, int pixels, const QColor& color) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(pixels);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QFrame* MakeFrame(QWidget* parent, const QRect& geometry, QFrame::Shadow shadow) {
    auto* frame = new QFrame(parent);
    frame->setGeometry(geometry);
    frame->setFrameStyle(QFrame::Panel | shadow);
    frame->setLineWidth(1);
    return frame;
}

bool IsLeftClick(QEvent* event) {
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
}

} // namespace

QString TAboutBox::NoticeText() {
    return QStringLiteral("Copyright (C) Wenlo");
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), IBDatabaseInfo1(&IBDatabase1) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(305, 267);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(13);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Hints::DesktopColor());
    setPalette(palette);
    setAutoFillBackground(true);
    CreatePanel();
    Label1 = MakeText(this, QRect(0, 130, 305, 20), 13, this->palette().color(QPalette::Base));
    Label1->setText(QStringLiteral("Label1"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(115, 222, 75, 27);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    Hints::SetHelpContext(this, kHelpContext);
    Hints::SetHelpContext(Panel2, kPanel2HelpContext);
    FormCreate();
}

void TAboutBox::CreatePanel() {
    Panel1 = MakeFrame(this, QRect(4, 4, 297, 105), QFrame::Sunken);
    auto* inner = MakeFrame(Panel1, QRect(1, 1, 295, 103), QFrame::Raised);
    Image1 = new QLabel(inner);
    Image1->setGeometry(8, 8, 35, 35);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QIcon(QStringLiteral(":/tavrel/tavrel.svg")).pixmap(32, 32));
    Image1->setCursor(Qt::WhatsThisCursor);
    Label2 = MakeText(inner, QRect(44, 12, 240, 22), 16, Qt::white);
    Version = MakeText(inner, QRect(44, 38, 240, 18), 12, Qt::white);
    Panel2 = new QFrame(inner);
    Panel2->setGeometry(1, 67, 293, 35);
    Panel2->setFrameStyle(QFrame::NoFrame);
    Panel2->setMouseTracking(true);
    Copyright = MakeText(Panel2, QRect(0, 0, 293, 35), 15, Qt::white);
    Copyright->setCursor(Qt::WhatsThisCursor);
    Copyright->setMouseTracking(true);
    for (QWidget* w : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Panel2),
                       static_cast<QWidget*>(Copyright)})
        w->installEventFilter(this);
}

void TAboutBox::FormCreate() {
    ReadServerVersion();
}

void TAboutBox::ReadServerVersion() {
    QString failure;
    try {
        SetConnectionParams(IBDatabase1, Settings::DbPath);
        IBDatabase1.Open();
        Label1->setText(IBDatabaseInfo1.Version());
    } catch (const std::exception& e) {
        failure = ExceptionText(e);
    }
    CloseConnection();
    if (!failure.isEmpty())
        Messages::ShowError(failure, parentWidget());
}

void TAboutBox::CloseConnection() {
    try {
        IBDatabase1.Close();
    } catch (const std::exception&) {
        // Nothing was written through this connection; it is gone either way.
    }
}

void TAboutBox::FillTexts() {
    Label2->setText(QStringLiteral("Wenlo 印刷ユーティリティー"));
    Version->setText(QStringLiteral("Tavrel Version " TAVREL_VERSION));
    Copyright->setText(NoticeText());
    // The line takes the size of its text, so the strip around it is left to turn it white.
    Copyright->adjustSize();
    Copyright->move((Panel2->width() - Copyright->width()) / 2,
                    (Panel2->height() - Copyright->height()) / 2);
}

void TAboutBox::CopyrightMouseMove() {
    SetTextColor(Copyright, QColor(255, 0, 0));
}

void TAboutBox::Panel2MouseMove() {
    SetTextColor(Copyright, Qt::white);
}

void TAboutBox::CopyrightClick() {
    Help::HelpContext(kCopyrightHelpContext);
}

void TAboutBox::Image1Click() {
    Help::HelpContext(kImageHelpContext);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched == Copyright)
            CopyrightMouseMove();
        else if (watched == Panel2)
            Panel2MouseMove();
        return watched == Copyright; // the strip must not see the line's own movement
    }
    if (IsLeftClick(event) && watched == Copyright)
        CopyrightClick();
    else if (IsLeftClick(event) && watched == Image1)
        Image1Click();
    return QDialog::eventFilter(watched, event);
}

void ShowAboutBox() {
    TAboutBox box(QApplication::activeWindow());
    box.FillTexts();
    Hints::SetShowHints(&box, Settings::HintShow);
    box.exec();
}
