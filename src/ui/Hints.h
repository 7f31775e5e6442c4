#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <functional>

class QLabel;
class QPalette;
class QWidget;

// The hint display every window repeats: the current hint in the window's status bar, and
// tooltips in the configured colour for the configured time.
namespace Hints {

// What a tooltip about to show will look like; the hook may change it.
struct HintInfo {
    QString text;
    QColor color;
    int hideTimeout = 0; // milliseconds; 0 hides at once
};

// Watches the application for hints, tooltips and F1 (installed by the application object).
void Install(QObject* application);
QString CurrentHint();
// Makes a text the application's current hint and tells every window's hook.
void SetCurrentHint(const QString& hint);
// A control's hint: its own, else the nearest enclosing control's, else empty.
QString HintOf(const QWidget* widget);
// The short part of a hint ("short|long").
QString ShortPart(const QString& hint);
// A colour in the settings' encoding: 0x00BBGGRR, or 0xFF0000nn for system colour nn.
QColor ToColor(int value, const QPalette& palette);
// System colour 1, the desktop behind the windows.
QColor DesktopColor();

void ShowStatusHint(QLabel* panel, const QString& suffix);
void SetHintInfo(HintInfo& info, const QString& suffix);

// A window's show-hints switch and its help context for F1 (a control may carry its own).
void SetShowHints(QWidget* window, bool show);
bool ShowHints(const QWidget* window);
void SetHelpContext(QWidget* window, int context);
int HelpContextOf(const QWidget* window);
// F1's topic: the nearest help context around the control under the mouse, else the window's.
int HelpContextForF1(const QWidget* window);

} // namespace Hints

// A window's hook on the application's hint events; every live hook runs on each event.
class TApplicationEvents : public QObject {
    Q_OBJECT
  public:
    explicit TApplicationEvents(QObject* owner);
    ~TApplicationEvents() override;
    std::function<void()> OnHint;
    std::function<void(Hints::HintInfo&)> OnShowHint;
};
