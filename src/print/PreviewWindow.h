#pragma once

#include "printcore/LabelReport.h"

class QWidget;

// The preview window for the page-layout facility: a TPreviewForm owned by the report that
// shows it, over parent (or, without one, over the active modal window).
TPreviewFactory PreviewWindows(QWidget* parent = nullptr);
