#include "views/sheets/sheetpager.h"

#include "views/sheets/sheetview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>

#include <algorithm>
#include <climits>

SheetPager::SheetPager(CWebCalc& sheet, QWidget* parent) : QWidget(parent), sheet_(sheet)
{
    setObjectName(QStringLiteral("sheetPager"));
    const auto button = [this](const char* name, const QString& text, const QString& tip, int pages) {
        auto* made = new QToolButton(this);
        made->setObjectName(QString::fromLatin1(name));
        made->setText(text);
        made->setToolTip(tip);
        connect(made, &QToolButton::clicked, this, [this, pages] { turn(pages); });
        return made;
    };
    first_ = button("firstPage", QStringLiteral("|<"), tr("First rows"), -INT_MAX);
    previous_ = button("previousPage", QStringLiteral("<"), tr("Previous rows"), -1);
    rows_ = new QLabel(this);
    rows_->setObjectName(QStringLiteral("pageRows"));
    next_ = button("nextPage", QStringLiteral(">"), tr("Next rows"), 1);
    last_ = button("lastPage", QStringLiteral(">|"), tr("Last rows"), INT_MAX);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->addWidget(first_);
    layout->addWidget(previous_);
    layout->addWidget(rows_, 1, Qt::AlignCenter);
    layout->addWidget(next_);
    layout->addWidget(last_);
    connect(&sheet_, &CWebCalc::pageChanged, this, &SheetPager::update);
    update();
}

QString SheetPager::text() const
{
    return rows_->text();
}

void SheetPager::update()
{
    const SheetCells& cells = *sheet_.shownCells();
    const int pages = cells.pageCount();
    setVisible(pages > 1);
    const int start = cells.pageStart();
    const int end = std::min(start + SheetCells::kPageRows, cells.usedRows());
    const QLocale locale;
    rows_->setText(
        tr("Rows %1 to %2 of %3")
            .arg(locale.toString(start + 1), locale.toString(end), locale.toString(cells.usedRows())));
    const int page = start / SheetCells::kPageRows;
    first_->setEnabled(page > 0);
    previous_->setEnabled(page > 0);
    next_->setEnabled(page + 1 < pages);
    last_->setEnabled(page + 1 < pages);
}

void SheetPager::turn(int pages)
{
    const SheetCells& cells = *sheet_.shownCells();
    const int page = cells.pageStart() / SheetCells::kPageRows;
    const int to = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(page) + pages, 0, cells.pageCount() - 1));
    // Forward: the page's first row; back: its last, so the rows go on from where they were.
    const int row = pages > 0 ? to * SheetCells::kPageRows + 1
                              : std::min((to + 1) * SheetCells::kPageRows, cells.usedRows());
    sheet_.showRow(pages == -INT_MAX ? 1 : pages == INT_MAX ? cells.usedRows() : row);
}
