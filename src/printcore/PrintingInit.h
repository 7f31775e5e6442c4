#pragma once

class QGuiApplication;

// What printing needs of the application before the first page: its title, the stand-ins for
// the Windows faces, the designs' default font and the printer set.
void InitPrinting(QGuiApplication& app);
