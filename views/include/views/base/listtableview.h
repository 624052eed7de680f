#pragma once

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

// A table of records to pick from, not to edit: whole rows selected one at a
// time, no row numbers, rows a line high, the last column filling the width.
inline void setUpListTable(QTableView& view)
{
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().lineSpacing() + 6);
    view.horizontalHeader()->setStretchLastSection(true);
}
