#pragma once

// Pictures of the window for the README, made offscreen from a file: the
// annotated sequence pane, and the pairs table beside the window it leads to.

#include <QString>

class CTessaronDlg;

// `what` is "annotation" or "pairs"; returns the process's exit code.
int savePicture(CTessaronDlg& window, const QString& what, const QString& picture, const QString& file);
