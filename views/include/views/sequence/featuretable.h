#pragma once

// The feature table: a window beside the main window listing the genome's
// features (name, type, strand, start, end, product; positions 1-based),
// sorted by any column with a click on its header, above it a field that
// keeps only the features whose name or product contains what is typed
// ("Find gene..." puts the cursor there). A click on a feature, or Enter in
// the field on the first one shown, goes to it in the sequence pane. A gene
// whose span would mislead (a trans-spliced one, parts on both strands or far
// apart) is listed by its parts, a row each with its own strand, start and
// end; choosing one selects the gene's parts, not the bases between them.

#include "input/feature.h"
#include "session/annotatedfeatures.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <cstddef>
#include <vector>

class QLineEdit;
class FeatureNameFilter;
class QTableView;

class FeatureTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column : int { Name, Type, Strand, Start, End, Product, ColumnCount };
    // What a column sorts by: the number of a position, else the text.
    static constexpr int SortRole = Qt::UserRole;
    // The feature's place in the feature list.
    static constexpr int FeatureRole = Qt::UserRole + 1;
    // The part of the feature a row lists (0-based), -1 for a whole feature.
    static constexpr int PartRole = Qt::UserRole + 2;

    // One row: a feature, or one of the parts of a feature shown by parts.
    struct Row {
        std::size_t feature = 0;  // in features()
        int part = -1;
    };

    explicit FeatureTableModel(QObject* parent = nullptr);
    void setFeatures(const tessaron::FeatureList& features);
    [[nodiscard]] const std::vector<tessaron::AnnotatedFeature>& features() const { return features_; }
    [[nodiscard]] const Row& rowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<tessaron::AnnotatedFeature> features_;
    std::vector<Row> rows_;
};

class FeatureTableWindow : public QWidget {
    Q_OBJECT

public:
    explicit FeatureTableWindow(QWidget* parent);

    // The features of the genome named `genome` (in the title).
    void setFeatures(const tessaron::FeatureList& features, const QString& genome);
    // Shows the window with the cursor in the name field, its text selected.
    void findGene();

    [[nodiscard]] QTableView& view() const { return *view_; }
    [[nodiscard]] QLineEdit& nameField() const { return *name_; }
    [[nodiscard]] const FeatureTableModel& model() const { return *model_; }

signals:
    // A feature was chosen: its entry (positions 0-based) and the part whose
    // row was chosen (-1 for a feature listed whole).
    void featureChosen(const tessaron::AnnotatedFeature& feature, int part);

private:
    void choose(const QModelIndex& index);

    FeatureTableModel* model_;
    FeatureNameFilter* shown_;
    QLineEdit* name_;
    QTableView* view_;
};
