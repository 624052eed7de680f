#pragma once

#include "engine/genome.h"
#include "engine/repeatlist.h"

#include <QAbstractItemModel>

#include <vector>

// The results tree over the result lists of one analysis, three levels deep:
// a kind ("direct repeats (%d)": the list's total), a length that has pairs
// ("%d bps (%d)": the length and its pairs) and a repeated word ("%s (%d)":
// the word and its pairs). Items are made when the view asks for them, so a
// genome with hundreds of thousands of repeats fills the tree at once.
//
// The model refers to the lists and to the genome whose sequence spells the
// words; both must stay alive and unchanged until clear().
class RepeatTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // The repeat of a word item, as a `const tessaron::Repeat*`; no value on
    // kind and length items.
    static constexpr int RepeatRole = Qt::UserRole;

    explicit RepeatTreeModel(const tessaron::Genome& genome, QObject* parent = nullptr);

    // Adds the branch of the next kind (direct, inverted, mirror, then
    // complementary) after the others.
    void appendKind(const tessaron::RepeatList& list);
    // Removes every item.
    void clear();
    [[nodiscard]] int kindCount() const { return static_cast<int>(kinds_.size()); }

    // The repeat of a word item; null for any other index.
    [[nodiscard]] const tessaron::Repeat* repeatAt(const QModelIndex& index) const;
    // The list that an item belongs to; null for an invalid index.
    [[nodiscard]] const tessaron::RepeatList* listAt(const QModelIndex& index) const;
    // The kind an item belongs to (Direct for an invalid index).
    [[nodiscard]] tessaron::RepeatKind kindAt(const QModelIndex& index) const;
    // The word item of the `row`-th repeat of a length of a kind, or an
    // invalid index: a way to the items without walking the view.
    [[nodiscard]] QModelIndex repeatIndex(tessaron::RepeatKind kind, int length, int row) const;
    [[nodiscard]] QModelIndex lengthIndex(tessaron::RepeatKind kind, int length) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Branch {
        const tessaron::RepeatList* list = nullptr;
        std::vector<int> filledSlots;  // the slots that hold pairs, in length order
    };
    // What an item's internal id tells: its level (1 kind, 2 length, 3 word),
    // and for lower levels the kind and the length row above them.
    struct Place {
        int level = 0;
        int kind = 0;
        int lengthRow = 0;
    };
    static quintptr makeId(const Place& place);
    static Place placeOf(const QModelIndex& index);
    [[nodiscard]] const std::vector<tessaron::Repeat>* repeatsBelow(const Place& place, int lengthRow) const;
    [[nodiscard]] QString wordText(const tessaron::RepeatList& list, const tessaron::Repeat& repeat) const;

    const tessaron::Genome& genome_;
    std::vector<Branch> kinds_;
};

Q_DECLARE_METATYPE(const tessaron::Repeat*)
