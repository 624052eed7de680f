#pragma once

// The pairs table: a window beside the main window listing every pair of the
// words the results tree shows (under its filter) for one kind of repeat:
// the length, the word (its beginning when long), both copies' 1-based
// positions, the features each copy overlaps and the distance between the
// copies' starts the shorter way round the circle. A click on a header sorts
// by that column; a double click on a pair (or Enter) shows it: the word is
// selected in the results tree, which highlights its copies and marks it on
// the map, and the pane goes to this pair's first copy. At most kMaxRows
// pairs are listed, the longest ones, as the line above the table says.

#include "engine/repeatkinds.h"
#include "report/featureindex.h"

#include <QAbstractTableModel>
#include <QPersistentModelIndex>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QTableView;
class RepeatTreeModel;

namespace tessaron {
class Genome;
}  // namespace tessaron

class PairsTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column : int { Length, Word, FirstCopy, SecondCopy, FirstGenes, SecondGenes, Distance, ColumnCount };
    static constexpr std::int64_t kMaxRows = 500000;

    // One pair, with the tree's rows of its word below the kind.
    struct Pair {
        int lengthRow = 0;
        int wordRow = 0;
        int length = 0;
        std::int32_t word = 0;  // where the word is read
        std::int32_t first = 0;
        std::int32_t second = 0;
    };

    explicit PairsTableModel(QObject* parent = nullptr);

    // The pairs of the words `tree` shows below its kind row `kind`; the
    // features name the copies (null: none). Returns how many pairs there
    // are in all; past the limit only the longest are listed.
    std::int64_t fill(const RepeatTreeModel& tree, int kind,
                      std::shared_ptr<const tessaron::FeatureIndex> features);
    void clear();
    // At most this many rows (kMaxRows unless told), taken from the next fill.
    void setMaxRows(std::int64_t rows) { maxRows_ = std::max<std::int64_t>(rows, 0); }
    // The shortest length listed (0 when none).
    [[nodiscard]] int shortestKept() const { return shortestKept_; }
    [[nodiscard]] const Pair& pairAt(int row) const { return pairs_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    [[nodiscard]] QString genes(std::int32_t start, int length) const;
    [[nodiscard]] std::int64_t distance(const Pair& pair) const;

    std::vector<Pair> pairs_;
    std::int64_t maxRows_ = kMaxRows;
    int shortestKept_ = 0;
    std::shared_ptr<const tessaron::Genome> genome_;
    std::shared_ptr<const tessaron::FeatureIndex> features_;
};

class PairsTableWindow : public QWidget {
    Q_OBJECT

public:
    // Lists the pairs of `tree`'s words; the features, when any, name the copies.
    PairsTableWindow(const RepeatTreeModel& tree, QWidget* parent);

    // The features of the genome now shown (null: none) and its name for the title.
    void setGenome(std::shared_ptr<const tessaron::FeatureIndex> features, const QString& genome);
    // Lists the pairs of the kind in the tree's row `kind` and shows the window.
    void showKind(int kind);
    // Lists them again, from what the tree shows now.
    void refill();
    // At most this many rows, from the next listing on.
    void setMaxRows(std::int64_t rows);
    // The line above the table: how many pairs it lists, of how many.
    [[nodiscard]] QString countText() const;

    [[nodiscard]] QTableView& view() const { return *view_; }
    [[nodiscard]] const PairsTableModel& model() const { return *model_; }
    [[nodiscard]] int kind() const;

signals:
    // The pair of a row was chosen: its word's tree item and its copies.
    void pairChosen(const QModelIndex& word, std::int32_t first, int length);

private:
    void choose(const QModelIndex& index);

    const RepeatTreeModel& tree_;
    std::shared_ptr<const tessaron::FeatureIndex> features_;
    QString genome_;
    PairsTableModel* model_;
    QComboBox* kind_;
    QLabel* count_;
    QTableView* view_;
};
