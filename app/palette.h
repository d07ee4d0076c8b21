#pragma once

#include <QColor>

// The brand's panel colour ($0000F2FF: red 255, green 242, blue 0).
inline const QColor kPanelColor(255, 242, 0);
