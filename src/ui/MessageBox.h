#pragma once

// Puts the program's message boxes behind the message service (the error box captioned
// "Tavrel", questions with their buttons), over the active window unless one is named.
void InstallMessageBoxes();
