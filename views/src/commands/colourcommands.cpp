#include "views/commands/colourcommands.h"

#include "palette/colourscheme.h"
#include "views/base/menucommand.h"
#include "views/base/settingsstore.h"
#include "views/base/themecolours.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/sequence/sequencenavigator.h"
#include "views/sequence/sequenceview.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

ColourCommands::ColourCommands(SequenceView& pane, SequenceNavigator& navigator, MapWindowHolder& maps,
                               SettingsStore& settings, QObject* parent)
    : QObject(parent), pane_(pane), navigator_(navigator), maps_(maps), settings_(settings)
{
    setObjectName(QStringLiteral("colourCommands"));
    navigator_.setColours(settings_.colourScheme());
    pane_.installEventFilter(this);
}

void ColourCommands::addCommand(QMenu* view)
{
    QAction* safe = addMenuCommand(view, "colourBlindSafe", tr("Colours for colour &blindness"), true);
    safe->setCheckable(true);
    safe->setChecked(settings_.colourBlindSafe());
    connect(safe, &QAction::toggled, this, &ColourCommands::setColourBlindSafe);
}

void ColourCommands::setColourBlindSafe(bool safe)
{
    settings_.saveColourBlindSafe(safe);
    navigator_.setColours(settings_.colourScheme());
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
    pane_.setTextColor(readableOn(kSequenceColor, pane_.palette()));
    if (pane_.textLength() > 0) {
        navigator_.paint();
    }
    pane_.viewport()->update();
    if (CDiagramDlg* map = maps_.open()) {
        map->setColours(settings_.colourScheme());
    }
}
