#pragma once

// "Print selection..." and "Export selection as PDF..." of the File menu:
// the bases selected in the sequence pane, in lines of 60 led by their
// positions, under the genome's name and the range.

#include "views/base/menucommand.h"

class PrintCommands;
class QMenu;
struct WindowParts;

// Its commands, by name (see commandId).
enum PanePrintingCommand : int {
    IdPrintSelection = commandId("printSelection"),
    IdSelectionPdf = commandId("selectionPdf")
};

// Adds the two commands to `file`; the window owns them.
PrintCommands* addPanePrinting(QMenu* file, const WindowParts& parts);
