#include "views/shell/mainpanes.h"

#include "views/base/themecolours.h"
#include "views/results/resultsfilterbox.h"
#include "views/results/resultstree.h"
#include "views/sequence/sequenceview.h"

#include <QFont>
#include <QResizeEvent>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Tree on the left, status line and sequence to its right.
constexpr int kTreeWidth = 180;
constexpr int kPaneLeft = 185;
constexpr int kStatusStripHeight = 20;

QFont sequenceFont()
{
    // Lucida Console where it is installed; otherwise the closest monospaced face.
    QFont font(QStringLiteral("Lucida Console"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(6.75);
    return font;
}

}  // namespace

MainPanes::MainPanes(int disabledCommand, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mainPanes"));
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setHandleWidth(kPaneLeft - kTreeWidth);
    splitter_->setChildrenCollapsible(false);

    auto* left = new QWidget(splitter_);
    tree_ = new ResultsTree(disabledCommand, left);
    tree_->setProperty("controlId", IdTree);
    filterBox_ = new ResultsFilterBox(tree_->results(), left);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(filterBox_);
    column->addWidget(tree_);

    right_ = new QWidget(splitter_);
    statusStrip_ = new QWidget(right_);
    sequencePane_ = new SequenceView(right_);
    sequencePane_->setObjectName(QStringLiteral("sequencePane"));
    sequencePane_->setProperty("controlId", IdSequencePane);
    sequencePane_->setFont(sequenceFont());
    sequencePane_->setTextColor(readableOn(kSequenceColor, sequencePane_->palette()));
    sequencePane_->setRulerVisible(true);
    right_->installEventFilter(this);

    splitter_->addWidget(left);
    splitter_->addWidget(right_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { splitterMoved_ = true; });
    // Tab from the tree to the sequence, then through the filter's fields when shown.
    QWidget::setTabOrder(tree_, sequencePane_);
}

void MainPanes::showSequence(std::string_view sequence)
{
    sequencePane_->setFont(sequenceFont());
    sequencePane_->setTextColor(readableOn(kSequenceColor, sequencePane_->palette()));
    sequencePane_->setSequence(sequence);
    sequencePane_->show();
}

int MainPanes::movedTreeWidth() const
{
    return splitterMoved_ ? splitter_->sizes().value(0) : 0;
}

void MainPanes::setTreeWidth(int width)
{
    splitterMoved_ = true;
    splitter_->setSizes({width, std::max(0, splitter_->width() - width - splitter_->handleWidth())});
}

void MainPanes::resizeEvent(QResizeEvent* event)
{
    const QSize size = event->size();
    splitter_->setGeometry(0, 0, size.width(), size.height());
    if (!splitterMoved_) {
        splitter_->setSizes({kTreeWidth, std::max(0, size.width() - kPaneLeft)});
    }
    QWidget::resizeEvent(event);
}

bool MainPanes::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == right_ && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        statusStrip_->setGeometry(0, 0, size.width(), kStatusStripHeight);
        sequencePane_->setGeometry(0, kStatusStripHeight, size.width(),
                                   std::max(0, size.height() - kStatusStripHeight));
    }
    return QWidget::eventFilter(watched, event);
}
