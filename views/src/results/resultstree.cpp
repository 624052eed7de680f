#include "views/results/resultstree.h"

#include "views/results/repeattreemodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>

ResultsTree::ResultsTree(int disabledCommand, QWidget* parent)
    : QTreeView(parent), results_(new RepeatTreeModel(this)), disabledCommand_(disabledCommand)
{
    setObjectName(QStringLiteral("tree"));
    setHeaderHidden(true);
    // The width is measured on the rows in view, so a branch of many thousand
    // items costs no more than a short one.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(false);
    setModel(results_);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList selected = selectionModel()->selectedIndexes();
        emit itemSelected(selected.isEmpty() ? QModelIndex() : selected.front());
    });
    const auto again = [this](const QModelIndex& index) {
        if (index == currentIndex()) {
            emit selectedItemChosenAgain();
        }
    };
    connect(this, &QTreeView::clicked, this, again);
    connect(this, &QTreeView::activated, this, again);
}

void ResultsTree::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy) {
        QApplication::clipboard()->setText(results_->copiedText(currentIndex()));
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ResultsTree::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* item = menu.addAction(tr("(disabled)"));
    item->setData(disabledCommand_);
    item->setObjectName(QStringLiteral("command%1").arg(disabledCommand_));
    item->setEnabled(false);
    // Beneath it: the 1-based positions of both copies of every pair of the
    // word under the mouse (else of the selected one), a line per pair.
    const QModelIndex under = indexAt(event->pos());
    const QModelIndex word = results_->repeatAt(under) != nullptr ? under : currentIndex();
    QAction* positions = menu.addAction(tr("Copy &positions"));
    positions->setObjectName(QStringLiteral("copyPositions"));
    positions->setEnabled(results_->repeatAt(word) != nullptr);
    connect(positions, &QAction::triggered, this, [this, word] {
        const QString text = results_->copiedText(word);
        QApplication::clipboard()->setText(text.mid(text.indexOf(QLatin1Char('\n')) + 1));
    });
    menu.exec(event->globalPos());
    event->accept();
}
