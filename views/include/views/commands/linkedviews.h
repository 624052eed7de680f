#pragma once

// The views that lead from a table to the sequence: the annotation above the
// pane's bases ("Show &annotation", off until chosen), the feature table
// ("&Feature table", and "Find &gene..." with the cursor in its name field)
// whose click selects a feature in the pane and scrolls to it, and the pairs
// table ("&Pairs table", of the kind selected in the results tree) whose
// double click selects the pair's word in the tree (so its copies are
// highlighted and the map, when open, marks it) and selects the pair's first
// copy in the pane. They follow each new genome and its results.

#include "session/annotatedfeatures.h"
#include "views/base/menucommand.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>

class AnnotationLayer;
class FeatureTableWindow;
class PairsTableWindow;
class QAction;
class QMenu;
class QModelIndex;
class QWidget;
struct WindowParts;
class ResultsTree;
class SequenceView;

namespace tessaron {
class FeatureIndex;
class Session;
}  // namespace tessaron

class LinkedViews : public QObject {
    Q_OBJECT

public:
    // Its commands, by name (see commandId).
    enum Command : int {
        IdShowAnnotation = commandId("showAnnotation"),
        IdFeatureTable = commandId("featureTable"),
        IdFindGene = commandId("findGene"),
        IdPairsTable = commandId("pairsTable"),
    };

    explicit LinkedViews(const WindowParts& parts);
    ~LinkedViews() override;
    LinkedViews(const LinkedViews&) = delete;
    LinkedViews& operator=(const LinkedViews&) = delete;

    // "Find &gene..." to `edit`; the annotation and the tables to `view`.
    void addFindingCommands(QMenu* edit);
    void addViewCommands(QMenu* view);

    [[nodiscard]] const AnnotationLayer& annotation() const { return *annotation_; }
    void showAnnotation(bool shown);
    // The tables, made when first asked for.
    FeatureTableWindow& featureTable();
    PairsTableWindow& pairsTable();

    // Selects a feature's bases in the pane (up to the end of the sequence
    // for one across the origin) and brings its start into view; a feature
    // shown by parts has its parts selected and the part chosen brought into view.
    void showFeature(const tessaron::AnnotatedFeature& feature, int part);
    // Selects the word in the results tree, then the copy at `first` in the pane.
    void showPair(const QModelIndex& word, std::int32_t first, int length);

private:
    // The session holds a new genome or new results.
    void adopted();
    void showPairsTable();
    [[nodiscard]] bool hasFeatures() const;
    // What names the features at a pair's copies; null without features.
    [[nodiscard]] std::shared_ptr<const tessaron::FeatureIndex> featureIndex() const;

    QWidget* window_;
    const tessaron::Session& session_;
    ResultsTree& tree_;
    SequenceView& pane_;
    std::unique_ptr<AnnotationLayer> annotation_;
    QPointer<FeatureTableWindow> features_;
    QPointer<PairsTableWindow> pairs_;
    QAction* showAnnotation_ = nullptr;
    QAction* featureTable_ = nullptr;
    QAction* findGene_ = nullptr;
    QAction* pairsTable_ = nullptr;
};
