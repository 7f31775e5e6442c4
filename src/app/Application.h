#pragma once

class QApplication;

// What the entry point sets up before the main window: title, help file, fonts.
void InitApplication(QApplication& app);
