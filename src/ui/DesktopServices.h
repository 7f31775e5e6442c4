#pragma once

class QApplication;

// What every window relies on: the message boxes behind the message service, the hints in the
// status bars, the hourglass of long work.
void InstallDesktopServices(QApplication& app);
