#pragma once

// "Colours for colour &blindness" in the View menu, checkable and kept in the
// settings: the copies of repeats marked in colours that people with
// red-green colour blindness tell apart, in the pane, on the map and in the
// charts made from then on; unchecked, the program's own colours. The pane
// also follows the system's theme as it changes: on a dark background its
// text and marks are lightened.

#include "views/base/menucommand.h"

#include <QObject>

class QAction;
class QMenu;
class SequenceNavigator;
class SequenceView;
class SettingsStore;
class MapWindowHolder;

class ColourCommands : public QObject {
    Q_OBJECT

public:
    static constexpr int IdColourBlindSafe = commandId("colourBlindSafe");

    // Takes the scheme kept in `settings` at once.
    ColourCommands(SequenceView& pane, SequenceNavigator& navigator, MapWindowHolder& maps,
                   SettingsStore& settings, QObject* parent);

    void addCommand(QMenu* view);
    void setColourBlindSafe(bool safe);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Paints the pane's text and marks, and the map, in the colours of the scheme and the theme.
    void repaint();

    SequenceView& pane_;
    SequenceNavigator& navigator_;
    MapWindowHolder& maps_;
    SettingsStore& settings_;
};
