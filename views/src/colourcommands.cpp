#include "views/colourcommands.h"

#include "engine/colourscheme.h"
#include "views/mainpanes.h"
#include "views/mapwindow.h"
#include "views/mapwindowholder.h"
#include "views/menucommand.h"
#include "views/sequencenavigator.h"
#include "views/sequenceview.h"
#include "views/settingsstore.h"
#include "views/themecolours.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

ColourCommands::ColourCommands(SequenceView& pane, SequenceNavigator& navigator, MapWindowHolder& maps,
                               SettingsStore& settings, QObject* parent)
    : QObject(parent), pane_(pane), navigator_(navigator), maps_(maps), settings_(settings)
{
    setObjectName(QStringLiteral("colourCommands"));
    tessaron::setColourScheme(settings_.colourBlindSafe() ? tessaron::ColourScheme::ColourBlindSafe
                                                          : tessaron::ColourScheme::Standard);
    pane_.installEventFilter(this);
}

void ColourCommands::addCommand(QMenu* view)
{
    QAction* safe = addMenuCommand(view, IdColourBlindSafe, tr("Colours for colour &blindness"), true);
    safe->setCheckable(true);
    safe->setChecked(tessaron::colourScheme() == tessaron::ColourScheme::ColourBlindSafe);
    connect(safe, &QAction::toggled, this, &ColourCommands::setColourBlindSafe);
}

void ColourCommands::setColourBlindSafe(bool safe)
{
    tessaron::setColourScheme(safe ? tessaron::ColourScheme::ColourBlindSafe
                                   : tessaron::ColourScheme::Standard);
    settings_.saveColourBlindSafe(safe);
    repaint();
}

bool ColourCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &pane_ && event->type() == QEvent::PaletteChange) {
        repaint();
    }
    return QObject::eventFilter(watched, event);
}

void ColourCommands::repaint()
{
    pane_.setTextColor(readableOn(MainPanes::kSequenceColor, pane_.palette()));
    if (pane_.textLength() > 0) {
        navigator_.paint();
    }
    pane_.viewport()->update();
    if (CDiagramDlg* map = maps_.open()) {
        map->update();
    }
}
