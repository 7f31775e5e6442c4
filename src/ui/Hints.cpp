#include "ui/Hints.h"

#include "platform/Help.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QStatusTipEvent>
#include <QToolTip>
#include <QWidget>
#include <vector>

namespace Hints {
namespace {

const char* const kShowHints = "tavrelShowHints";
const char* const kHelpContext = "tavrelHelpContext";

std::vector<TApplicationEvents*>& Hooks() {
    static std::vector<TApplicationEvents*> hooks;
    return hooks;
}

QString& Current() {
    static QString hint;
    return hint;
}

QPalette::ColorRole SystemRole(int index) {
    switch (index) {
    case 0:  // scroll bar
    case 22: // light 3D
        return QPalette::Midlight;
    case 4:  // menu
    case 30: // menu bar
        return QPalette::Window;
    case 10: // active border
    case 11: // inactive border
    case 15: // button face
        return QPalette::Button;
    case 2:  // active caption
    case 13: // highlight
    case 27: // active caption gradient
    case 29: // menu highlight
        return QPalette::Highlight;
    case 3:  // inactive caption
    case 28: // inactive caption gradient
        return QPalette::Mid;
    case 5: // window
        return QPalette::Base;
    case 6:  // window frame
    case 21: // dark 3D shadow
        return QPalette::Shadow;
    case 7: // menu text
    case 8: // window text
        return QPalette::WindowText;
    case 9:  // caption text
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 12: // application workspace
    case 16: // button shadow
        return QPalette::Dark;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 18: // button text
    case 19: // inactive caption text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 23: // tooltip text
        return QPalette::ToolTipText;
    case 24: // tooltip background
        return QPalette::ToolTipBase;
    case 26: // hot-tracked item
        return QPalette::Link;
    default:
        return QPalette::Window;
    }
}

void ShowToolTip(QWidget* widget, const QPoint& globalPos) {
    HintInfo info{HintOf(widget), {}, Settings::HintTime};
    for (TApplicationEvents* hook : std::vector(Hooks()))
        if (hook->OnShowHint)
            hook->OnShowHint(info);
    if (info.text.isEmpty() || info.hideTimeout <= 0) {
        QToolTip::hideText();
        return;
    }
    QPalette palette = QToolTip::palette();
    if (info.color.isValid())
        palette.setColor(QPalette::ToolTipBase, info.color);
    QToolTip::setPalette(palette);
    QToolTip::showText(globalPos, ShortPart(info.text), widget, {}, info.hideTimeout);
}

// The application-wide filter behind the hint display.
class HintFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::Enter:
            if (widget)
                SetCurrentHint(HintOf(widget));
            return false;
        case QEvent::StatusTip:
            SetCurrentHint(static_cast<QStatusTipEvent*>(event)->tip());
            return true;
        case QEvent::ToolTip:
            if (!widget)
                return false;
            if (ShowHints(widget->window()))
                ShowToolTip(widget, static_cast<QHelpEvent*>(event)->globalPos());
            return true;
        case QEvent::KeyPress:
            if (widget && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
                QWidget* active = QApplication::activeWindow();
                Help::HelpContext(HelpContextForF1(active ? active : widget->window()));
                return true;
            }
            return false;
        default:
            return false;
        }
    }
};

} // namespace

void Install(QObject* application) {
    application->installEventFilter(new HintFilter(application));
}

QString CurrentHint() {
    return Current();
}

void SetCurrentHint(const QString& hint) {
    if (hint == Current())
        return;
    Current() = hint;
    for (TApplicationEvents* hook : std::vector(Hooks()))
        if (hook->OnHint)
            hook->OnHint();
}

QString HintOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (!w->statusTip().isEmpty())
            return w->statusTip();
        if (!w->toolTip().isEmpty())
            return w->toolTip();
    }
    return {};
}

QColor DesktopColor() {
    // This desktop has no colour of its own behind the windows; the classic one stands in.
    return QColor(0, 128, 128);
}

QString ShortPart(const QString& hint) {
    return hint.section(QLatin1Char('|'), 0, 0);
}

QColor ToColor(int value, const QPalette& palette) {
    const auto v = static_cast<quint32>(value);
    if (v == 0xFF000001u)
        return DesktopColor();
    if ((v >> 24) == 0xFF)
        return palette.color(QPalette::Active, SystemRole(static_cast<int>(v & 0xFF)));
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

void ShowStatusHint(QLabel* panel, const QString& suffix) {
    if (panel)
        panel->setText(ShortPart(CurrentHint()) + suffix);
}

void SetHintInfo(HintInfo& info, const QString& suffix) {
    info.color = ToColor(Settings::HintColor, QToolTip::palette());
    info.hideTimeout = Settings::HintTime;
    info.text += suffix;
}

void SetShowHints(QWidget* window, bool show) {
    window->setProperty(kShowHints, show);
}

bool ShowHints(const QWidget* window) {
    const QVariant v = window ? window->property(kShowHints) : QVariant();
    return !v.isValid() || v.toBool();
}

void SetHelpContext(QWidget* window, int context) {
    window->setProperty(kHelpContext, context);
}

int HelpContextOf(const QWidget* window) {
    return window ? window->property(kHelpContext).toInt() : 0;
}

int HelpContextForF1(const QWidget* window) {
    const QWidget* under = QApplication::widgetAt(QCursor::pos());
    if (under && under->window() == window) {
        for (const QWidget* w = under; w; w = w->isWindow() ? nullptr : w->parentWidget())
            if (w->property(kHelpContext).isValid())
                return w->property(kHelpContext).toInt();
    }
    return HelpContextOf(window);
}

} // namespace Hints

TApplicationEvents::TApplicationEvents(QObject* owner) : QObject(owner) {
    Hints::Hooks().push_back(this);
}

TApplicationEvents::~TApplicationEvents() {
    std::erase(Hints::Hooks(), this);
}
