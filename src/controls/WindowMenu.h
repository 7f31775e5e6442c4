#pragma once

class QDialog;
class QMenuBar;

// The menu of a small window: "ファイル(&F)" with "終了(&X)", which closes the window, and
// "ヘルプ(&H)" with "ヘルプ", which shows the window's help topic.
QMenuBar* FileAndHelpMenu(QDialog* window, int helpContext);
