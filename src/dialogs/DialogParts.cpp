#include "dialogs/DialogParts.h"

#include "controls/Hinted.h"
#include "ui/Hints.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace DialogParts {

namespace {
constexpr int kStatusHeight = 21;
} // namespace

void MakeFixedDialog(QDialog* dialog, const QSize& client) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(client);
}

HintStatus MakeHintStatus(QDialog* dialog, int helpContext) {
    HintStatus status;
    status.bar = new QStatusBar(dialog);
    status.bar->setObjectName(QStringLiteral("StatusBar1"));
    status.bar->setSizeGripEnabled(false);
    status.bar->setGeometry(0, dialog->height() - kStatusHeight, dialog->width(), kStatusHeight);
    auto* f1 = new QLabel(QStringLiteral("F1ヘルプ"));
    f1->setAlignment(Qt::AlignCenter);
    f1->setFixedWidth(60);
    status.hintPanel = new QLabel;
    status.bar->addWidget(f1);
    status.bar->addWidget(status.hintPanel, 1);
    status.events = new TApplicationEvents(dialog);
    QLabel* panel = status.hintPanel;
    status.events->OnHint = [panel] { Hints::ShowStatusHint(panel, {}); };
    status.events->OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    Hints::SetHelpContext(dialog, helpContext);
    return status;
}

void ConnectOkCancel(QDialog* dialog, QPushButton* ok, QPushButton* cancel) {
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

QGroupBox* MakeGroup(QWidget* parent, const QString& title, const QRect& geometry,
                     const QString& hint) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(geometry);
    SetHint(group, hint);
    return group;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const QRect& geometry,
                        const QString& hint) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    SetHint(button, hint);
    return button;
}

} // namespace DialogParts
