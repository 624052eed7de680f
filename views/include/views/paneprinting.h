#pragma once

// "Print selection..." and "Export selection as PDF..." of the File menu:
// the bases selected in the sequence pane, in lines of 60 led by their
// positions, under the genome's name and the range.

class PrintCommands;
class Prompts;
class QMenu;
class QWidget;
class SequenceView;
class SettingsStore;

namespace tessaron {
class Session;
}  // namespace tessaron

enum PanePrintingCommand : int { IdPrintSelection = 32893, IdSelectionPdf = 32894 };

// Adds the two commands to `file`; `window` owns them.
PrintCommands* addPanePrinting(QMenu* file, QWidget* window, const SequenceView& pane,
                               const tessaron::Session& session, Prompts& prompts, SettingsStore& settings);
