#include "views/results/pairstable.h"

#include "engine/repeatsnapshot.h"
#include "report/wordtext.h"
#include "views/base/listtableview.h"
#include "views/base/qtstrings.h"
#include "views/results/repeattreemodel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

PairsTableModel::PairsTableModel(QObject* parent) : QAbstractTableModel(parent)
{
}

std::int64_t PairsTableModel::fill(const RepeatTreeModel& tree, int kind,
                                   std::shared_ptr<const tessaron::FeatureIndex> features)
{
    beginResetModel();
    pairs_.clear();
    genome_.reset();
    features_ = std::move(features);
    shortestKept_ = 0;
    std::int64_t total = 0;
    const QModelIndex kindItem = tree.index(kind, 0);
    if (const tessaron::RepeatSnapshot* snapshot = tree.snapshotAt(kindItem)) {
        genome_ = snapshot->sharedGenome();
        // Each length's pairs, then how many of them the table keeps: the
        // longest lengths first, so that a cut table holds the longest pairs.
        struct LengthRow {
            int length = 0;
            std::int64_t pairs = 0;
            std::int64_t kept = 0;
        };
        std::vector<LengthRow> rows(static_cast<std::size_t>(tree.rowCount(kindItem)));
        for (int lengthRow = 0; lengthRow < tree.rowCount(kindItem); ++lengthRow) {
            const QModelIndex lengthItem = tree.index(lengthRow, 0, kindItem);
            LengthRow& row = rows[static_cast<std::size_t>(lengthRow)];
            row.length = snapshot->minLength() + tree.slotAt(lengthItem);
            for (int wordRow = 0; wordRow < tree.rowCount(lengthItem); ++wordRow) {
                if (const tessaron::RepeatWord* word = tree.repeatAt(tree.index(wordRow, 0, lengthItem))) {
                    row.pairs += word->pairCount;
                }
            }
            total += row.pairs;
        }
        std::vector<std::size_t> longestFirst(rows.size());
        for (std::size_t k = 0; k < rows.size(); ++k) {
            longestFirst[k] = k;
        }
        std::stable_sort(longestFirst.begin(), longestFirst.end(),
                         [&rows](std::size_t a, std::size_t b) { return rows[a].length > rows[b].length; });
        std::int64_t room = maxRows_;
        for (const std::size_t k : longestFirst) {
            rows[k].kept = std::min(rows[k].pairs, room);
            room -= rows[k].kept;
            if (rows[k].kept > 0) {
                shortestKept_ = rows[k].length;
            }
        }
        // Listed in the tree's order.
        for (int lengthRow = 0; lengthRow < tree.rowCount(kindItem); ++lengthRow) {
            const QModelIndex lengthItem = tree.index(lengthRow, 0, kindItem);
            const LengthRow& row = rows[static_cast<std::size_t>(lengthRow)];
            std::int64_t left = row.kept;
            for (int wordRow = 0; wordRow < tree.rowCount(lengthItem) && left > 0; ++wordRow) {
                const QModelIndex wordItem = tree.index(wordRow, 0, lengthItem);
                const tessaron::RepeatWord* word = tree.repeatAt(wordItem);
                if (word == nullptr) {
                    continue;
                }
                for (const tessaron::RepeatPair& pair : tree.pairsAt(wordItem)) {
                    if (left == 0) {
                        break;
                    }
                    pairs_.push_back({lengthRow, wordRow, row.length, word->first, pair.first, pair.second});
                    --left;
                }
            }
        }
    }
    endResetModel();
    return total;
}

void PairsTableModel::clear()
{
    beginResetModel();
    pairs_.clear();
    genome_.reset();
    features_.reset();
    endResetModel();
}

int PairsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(pairs_.size());
}

int PairsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString PairsTableModel::genes(std::int32_t start, int length) const
{
    return features_ ? toQString(features_->describe(start, length)) : QString();
}

std::int64_t PairsTableModel::distance(const Pair& pair) const
{
    const std::int64_t length = genome_ ? static_cast<std::int64_t>(genome_->length()) : 0;
    const std::int64_t apart = std::abs(std::int64_t{pair.second} - pair.first);
    return length > 0 ? std::min(apart, length - apart) : apart;
}

QVariant PairsTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number =
            index.column() != Word && index.column() != FirstGenes && index.column() != SecondGenes;
        return number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const Pair& pair = pairs_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
        case Length:
            return pair.length;
        case Word:
            return genome_ ? toQString(tessaron::shownWord(*genome_, pair.word, pair.length)) : QString();
        case FirstCopy:
            return pair.first + 1;
        case SecondCopy:
            return pair.second + 1;
        case FirstGenes:
            return genes(pair.first, pair.length);
        case SecondGenes:
            return genes(pair.second, pair.length);
        case Distance:
            return QVariant::fromValue(static_cast<qlonglong>(distance(pair)));
        default:
            return {};
    }
}

QVariant PairsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kHeadings[ColumnCount] = {"Length",  "Word",    "Copy 1",  "Copy 2",
                                                       "Genes 1", "Genes 2", "Distance"};
    return section >= 0 && section < ColumnCount ? tr(kHeadings[section]) : QVariant();
}

void PairsTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Texts are made once per row, numbers compared as they are.
    std::vector<QString> texts;
    if (column == Word || column == FirstGenes || column == SecondGenes) {
        texts.reserve(pairs_.size());
        for (int row = 0; row < rowCount(); ++row) {
            texts.push_back(data(index(row, column)).toString());
        }
    }
    std::vector<std::size_t> ranks(pairs_.size());
    for (std::size_t k = 0; k < ranks.size(); ++k) {
        ranks[k] = k;
    }
    const auto key = [&](std::size_t k) -> std::int64_t {
        const Pair& pair = pairs_[k];
        switch (column) {
            case Length:
                return pair.length;
            case FirstCopy:
                return pair.first;
            case SecondCopy:
                return pair.second;
            default:
                return distance(pair);
        }
    };
    std::stable_sort(ranks.begin(), ranks.end(), [&](std::size_t a, std::size_t b) {
        const bool less = texts.empty() ? key(a) < key(b) : texts[a] < texts[b];
        const bool more = texts.empty() ? key(b) < key(a) : texts[b] < texts[a];
        return order == Qt::AscendingOrder ? less : more;
    });
    std::vector<Pair> sorted;
    sorted.reserve(pairs_.size());
    for (const std::size_t k : ranks) {
        sorted.push_back(pairs_[k]);
    }
    const QModelIndexList before = persistentIndexList();
    pairs_ = std::move(sorted);
    // Rows kept by the view follow their pair.
    std::vector<int> newRow(ranks.size());
    for (std::size_t k = 0; k < ranks.size(); ++k) {
        newRow[ranks[k]] = static_cast<int>(k);
    }
    QModelIndexList after;
    for (const QModelIndex& kept : before) {
        after << index(newRow[static_cast<std::size_t>(kept.row())], kept.column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

PairsTableWindow::PairsTableWindow(const RepeatTreeModel& tree, QWidget* parent)
    : QWidget(parent, Qt::Window),
      tree_(tree),
      model_(new PairsTableModel(this)),
      kind_(new QComboBox(this)),
      count_(new QLabel(this)),
      view_(new QTableView(this))
{
    setObjectName(QStringLiteral("pairsTable"));
    kind_->setObjectName(QStringLiteral("pairsKind"));
    count_->setObjectName(QStringLiteral("pairsCount"));
    view_->setObjectName(QStringLiteral("pairsView"));
    for (const tessaron::RepeatKind kind : tessaron::kKindOrder) {
        kind_->addItem(toQString(tessaron::kindInfo(kind).heading));
    }
    view_->setModel(model_);
    view_->setSortingEnabled(true);
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setUpListTable(*view_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(kind_);
    column->addWidget(count_);
    column->addWidget(view_);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { refill(); });
    connect(view_, &QTableView::doubleClicked, this, &PairsTableWindow::choose);
    connect(view_, &QTableView::activated, this, &PairsTableWindow::choose);
    resize(720, 420);
}

void PairsTableWindow::setGenome(std::shared_ptr<const tessaron::FeatureIndex> features,
                                 const QString& genome)
{
    features_ = std::move(features);
    genome_ = genome;
    model_->clear();
}

void PairsTableWindow::setMaxRows(std::int64_t rows)
{
    model_->setMaxRows(rows);
}

QString PairsTableWindow::countText() const
{
    return count_->text();
}

int PairsTableWindow::kind() const
{
    return kind_->currentIndex();
}

void PairsTableWindow::showKind(int kind)
{
    if (kind != kind_->currentIndex()) {
        kind_->setCurrentIndex(kind);  // refills
    } else {
        refill();
    }
    show();
    raise();
    activateWindow();
}

void PairsTableWindow::refill()
{
    const std::int64_t total = model_->fill(tree_, kind_->currentIndex(), features_);
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    const QString kindName = kind_->currentText();
    // A cut table says what it holds: sorting orders these rows only.
    count_->setText(total > model_->rowCount()
                        ? tr("The %1 longest of %2 pairs (%3 bp and longer): sorting orders these")
                              .arg(model_->rowCount())
                              .arg(total)
                              .arg(model_->shortestKept())
                        : tr("%1 pairs").arg(total));
    setWindowTitle(genome_.isEmpty() ? tr("Pairs of %1").arg(kindName.toLower())
                                     : tr("Pairs of %1 - %2").arg(kindName.toLower(), genome_));
    view_->resizeColumnsToContents();
}

void PairsTableWindow::choose(const QModelIndex& index)
{
    if (!index.isValid()) {
        return;
    }
    const PairsTableModel::Pair& pair = model_->pairAt(index.row());
    const QModelIndex kindItem = tree_.index(kind_->currentIndex(), 0);
    const QModelIndex word = tree_.index(pair.wordRow, 0, tree_.index(pair.lengthRow, 0, kindItem));
    emit pairChosen(word, pair.first, pair.length);
}
