#pragma once

// Colours kept readable under the system's theme: on a dark background the
// pane's dark text and marks are lightened; on the light one they stay as
// they are, so the first look does not change.

#include <QColor>
#include <QPalette>

// The sequence pane's text on a light background.
inline const QColor kSequenceColor{0x20, 0x20, 0x50};

// Whether the palette's text background is dark.
[[nodiscard]] bool isDarkPalette(const QPalette& palette);
// `color` as it is on a light background; on a dark one made light enough to read.
[[nodiscard]] QColor readableOn(const QColor& color, const QPalette& palette);
