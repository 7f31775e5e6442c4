#include "controls/WindowMenu.h"

#include "platform/Help.h"

#include <QDialog>
#include <QMenuBar>

QMenuBar* FileAndHelpMenu(QDialog* window, int helpContext) {
    auto* menu = new QMenuBar(window);
    QAction* exit =
        menu->addMenu(QStringLiteral("ファイル(&F)"))->addAction(QStringLiteral("終了(&X)"));
    exit->setStatusTip(QStringLiteral("終了します"));
    QAction* help =
        menu->addMenu(QStringLiteral("ヘルプ(&H)"))->addAction(QStringLiteral("ヘルプ"));
    help->setStatusTip(QStringLiteral("ヘルプを表示します"));
    QObject::connect(exit, &QAction::triggered, window, &QDialog::close);
    QObject::connect(help, &QAction::triggered, window,
                     [helpContext] { Help::HelpContext(helpContext); });
    return menu;
}
