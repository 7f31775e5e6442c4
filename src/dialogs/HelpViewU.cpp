#include "dialogs/HelpViewU.h"

#include "platform/Error.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QPointer<THelpViewForm>& Viewer() {
    static QPointer<THelpViewForm> viewer;
    return viewer;
}

QToolButton* MakeButton(QWidget* parent, const QString& text) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

// A modal window blocks every window but its own; the help window counts as one of the
// modal window's own, so its links and buttons keep working.
void KeepUsable(THelpViewForm* form) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != form && modal->windowHandle() && form->windowHandle())
        form->windowHandle()->setTransientParent(modal->windowHandle());
}

} // namespace

THelpBrowser::THelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    // Left to itself the browser hands every address with a scheme to the desktop.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &THelpBrowser::FollowLink);
}

void THelpBrowser::FollowLink(const QUrl& link) {
    if (link.scheme() == QLatin1String("help"))
        setSource(link);
    else
        QDesktopServices::openUrl(link);
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::HtmlResource && name.scheme() == QLatin1String("help"))
        return file_.PageHtml(name.toString());
    return QTextBrowser::loadResource(type, name);
}

THelpViewForm::THelpViewForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Tavrel ヘルプ"));
    resize(560, 460);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    ContentsBtn = MakeButton(this, QStringLiteral("目次(&C)"));
    BackBtn = MakeButton(this, QStringLiteral("戻る(&B)"));
    ForwardBtn = MakeButton(this, QStringLiteral("進む(&F)"));
    bar->addWidget(ContentsBtn);
    bar->addWidget(BackBtn);
    bar->addWidget(ForwardBtn);
    bar->addStretch(1);
    layout->addLayout(bar);
    Browser = new THelpBrowser(this);
    layout->addWidget(Browser, 1);
    BackBtn->setEnabled(false);
    ForwardBtn->setEnabled(false);
    connect(ContentsBtn, &QToolButton::clicked, this, &THelpViewForm::ShowContents);
    connect(BackBtn, &QToolButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardBtn, &QToolButton::clicked, Browser, &QTextBrowser::forward);
    connect(Browser, &QTextBrowser::backwardAvailable, BackBtn, &QWidget::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardBtn, &QWidget::setEnabled);
    // A plain window has no Esc of its own, as a dialog has.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void THelpViewForm::ShowFile(THelpFile file) {
    if (!file.Title.isEmpty())
        setWindowTitle(file.Title);
    Browser->SetHelpFile(std::move(file));
}

void THelpViewForm::ShowContext(int context) {
    if (Browser->HelpFile().Find(context))
        Browser->setSource(QUrl(THelpFile::Address(context)));
    else
        ShowContents();
}

void THelpViewForm::ShowContents() {
    Browser->setSource(QUrl(QStringLiteral("help:contents")));
}

QString THelpViewForm::Address() const {
    return Browser->source().toString();
}

THelpViewForm* HelpViewForm() {
    return Viewer();
}

void ShowHelpRequest(const Help::Request& request) {
    THelpFile file;
    try {
        file = THelpFile::Load(ResolveHelpFile(Help::HelpFile()));
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e));
        return;
    }
    if (!Viewer()) {
        Viewer() = new THelpViewForm;
        Viewer()->setAttribute(Qt::WA_DeleteOnClose);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            Viewer()->move(screen->availableGeometry().center() - Viewer()->rect().center());
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete Viewer(); });
    }
    THelpViewForm* form = Viewer();
    form->ShowFile(std::move(file));
    if (request.command == 0)
        form->ShowContext(request.context);
    else
        form->ShowContents();
    form->show();
    KeepUsable(form);
    form->raise();
    form->activateWindow();
}
