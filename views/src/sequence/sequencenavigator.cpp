#include "views/sequence/sequencenavigator.h"

#include "engine/repeatkinds.h"
#include "session/highlights.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/themecolours.h"
#include "views/sequence/genomestatusbar.h"
#include "views/sequence/sequenceview.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

// How much darker or lighter (in percent) every other copy of a tandem array is.
constexpr int kTandemShade = 160;

// A 0x00BBGGRR colour of the kinds' table.
QColor colorOf(std::uint32_t bbggrr)
{
    return QColor(static_cast<int>(bbggrr & 0xFFu), static_cast<int>((bbggrr >> 8) & 0xFFu),
                  static_cast<int>((bbggrr >> 16) & 0xFFu));
}

}  // namespace

SequenceNavigator::SequenceNavigator(SequenceView& pane, const tessaron::Highlights& highlights,
                                     GenomeStatusBar& statusBar, Prompts& prompts, QWidget* window)
    : QObject(window),
      pane_(pane),
      highlights_(highlights),
      statusBar_(statusBar),
      prompts_(prompts),
      window_(window)
{
    setObjectName(QStringLiteral("sequenceNavigator"));
}

void SequenceNavigator::addFindingCommands(QMenu* edit)
{
    goTo_ = addMenuCommand(edit, "goToPosition", tr("&Go to position..."), false);
    goTo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(goTo_, &QAction::triggered, this, &SequenceNavigator::goToPosition);
    next_ = addMenuCommand(edit, "nextCopy", tr("&Next copy"), false);
    next_->setShortcut(QKeySequence(Qt::Key_F3));
    connect(next_, &QAction::triggered, this, [this] { stepCopy(true); });
    previous_ = addMenuCommand(edit, "previousCopy", tr("&Previous copy"), false);
    previous_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    connect(previous_, &QAction::triggered, this, [this] { stepCopy(false); });
}

void SequenceNavigator::addZoomCommands(QMenu* view)
{
    QAction* zoomIn = addMenuCommand(view, "zoomIn", tr("Zoom &in"), true);
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(zoomIn, &QAction::triggered, &pane_, &SequenceView::zoomIn);
    QAction* zoomOut = addMenuCommand(view, "zoomOut", tr("Zoom &out"), true);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, &pane_, &SequenceView::zoomOut);
    QAction* actualSize = addMenuCommand(view, "zoomReset", tr("&Actual size"), true);
    actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(actualSize, &QAction::triggered, &pane_, &SequenceView::resetZoom);
}

void SequenceNavigator::paint()
{
    pane_.clearHighlights();
    // The colours of the scheme chosen, made readable on the pane's background.
    const bool transformed = highlights_.kind() != tessaron::RepeatKind::Direct;
    const QColor first = readableOn(colorOf(colours_.firstCopy), pane_.palette());
    // A tandem array's copies alternate between the first copy's colour and
    // another shade of it: darker on a light ground, lighter on a dark one.
    const QColor second = highlights_.selectedTandemArray() == nullptr
                              ? readableOn(colorOf(colours_.secondCopyOf(transformed)), pane_.palette())
                          : isDarkPalette(pane_.palette()) ? first.lighter(kTandemShade)
                                                           : first.darker(kTandemShade);
    for (const tessaron::Highlights::Copy& copy : highlights_.copies()) {
        pane_.addHighlight(copy.start, copy.length, copy.second ? second : first);
    }
    // An approximate pair's letters that do not line up equal.
    for (const int letter : highlights_.marked()) {
        pane_.addHighlight(letter, 1, kMismatchColor);
    }
    next_->setEnabled(!highlights_.starts().empty());
    previous_->setEnabled(!highlights_.starts().empty());
}

void SequenceNavigator::showFirstCopy()
{
    const tessaron::Repeat* repeat = highlights_.selectedRepeat();
    const int length = repeat != nullptr              ? repeat->length
                       : highlights_.copies().empty() ? 0
                                                      : highlights_.copies().front().length;
    pane_.setCaret(highlights_.firstCopy());
    pane_.ensureVisible(highlights_.firstCopy(), length);
}

void SequenceNavigator::showSelectedWord()
{
    if (highlights_.selectedRepeat() != nullptr || highlights_.selectedMicrosatellite() != nullptr) {
        showFirstCopy();
    }
}

void SequenceNavigator::showPair(int pair)
{
    const auto& pairs = highlights_.selectedPairs();
    if (pair >= 0 && static_cast<std::size_t>(pair) < pairs.size()) {
        pane_.setCaret(pairs[static_cast<std::size_t>(pair)].first);
    }
}

void SequenceNavigator::stepCopy(bool forward)
{
    const int caret = pane_.caret();
    const std::optional<tessaron::Highlights::Step> step =
        forward ? highlights_.next(caret) : highlights_.previous(caret);
    if (!step) {
        return;
    }
    pane_.setCaret(step->start);
    // The copies of one highlighting are all of one length.
    pane_.ensureVisible(step->start, highlights_.copies().front().length);
    statusBar_.showCopy(step->number, step->count);
}

void SequenceNavigator::goToPosition()
{
    const int length = pane_.textLength();
    if (length == 0) {
        return;
    }
    const std::optional<int> position =
        prompts_.askNumber(window_, tr("Go to position"), tr("Position (1 to %1):").arg(length),
                           std::min(pane_.caret() + 1, length), 1, length);
    if (!position) {
        return;
    }
    pane_.setCaret(*position - 1);
    pane_.ensureVisible(*position - 1, 1);
    pane_.setFocus(Qt::ShortcutFocusReason);
}

void SequenceNavigator::sequenceChanged()
{
    goTo_->setEnabled(pane_.textLength() != 0);
}
