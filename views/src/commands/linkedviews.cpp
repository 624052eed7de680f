#include "views/commands/linkedviews.h"

#include "views/commands/windowparts.h"

#include "report/featureindex.h"
#include "session/session.h"
#include "views/base/menucommand.h"
#include "views/base/qtstrings.h"
#include "views/results/pairstable.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultstree.h"
#include "views/sequence/annotationlayer.h"
#include "views/sequence/featuretable.h"
#include "views/sequence/sequenceview.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <algorithm>
#include <vector>

LinkedViews::LinkedViews(const WindowParts& parts)
    : QObject(&parts.window),
      window_(&parts.window),
      session_(parts.session),
      tree_(parts.tree),
      pane_(parts.pane),
      annotation_(std::make_unique<AnnotationLayer>(parts.pane))
{
    setObjectName(QStringLiteral("linkedViews"));
    connect(&parts.events, &WindowEvents::adopted, this, &LinkedViews::adopted);
    // A new filter changes the words the pairs table lists.
    connect(&tree_.results(), &QAbstractItemModel::modelReset, this, [this] {
        if (pairs_ != nullptr && pairs_->isVisible()) {
            pairs_->refill();
        }
    });
}

LinkedViews::~LinkedViews() = default;

void LinkedViews::addFindingCommands(QMenu* edit)
{
    findGene_ = addMenuCommand(edit, "findGene", tr("Find &gene..."), false);
    findGene_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
    connect(findGene_, &QAction::triggered, this, [this] { featureTable().findGene(); });
}

void LinkedViews::addViewCommands(QMenu* view)
{
    view->addSeparator();
    showAnnotation_ = addMenuCommand(view, "showAnnotation", tr("Show &annotation"), false);
    showAnnotation_->setCheckable(true);
    connect(showAnnotation_, &QAction::toggled, this, &LinkedViews::showAnnotation);
    featureTable_ = addMenuCommand(view, "featureTable", tr("&Feature table"), false);
    connect(featureTable_, &QAction::triggered, this, [this] {
        FeatureTableWindow& table = featureTable();
        table.show();
        table.raise();
    });
    pairsTable_ = addMenuCommand(view, "pairsTable", tr("&Pairs table"), false);
    connect(pairsTable_, &QAction::triggered, this, &LinkedViews::showPairsTable);
}

bool LinkedViews::hasFeatures() const
{
    return session_.features().has_value() && session_.features()->size() > 1;
}

std::shared_ptr<const tessaron::FeatureIndex> LinkedViews::featureIndex() const
{
    if (!hasFeatures()) {
        return nullptr;  // a genome without features: the copies go unnamed
    }
    return std::make_shared<const tessaron::FeatureIndex>(*session_.features(), session_.genome().length());
}

void LinkedViews::adopted()
{
    const tessaron::FeatureList none;
    const tessaron::FeatureList& features = hasFeatures() ? *session_.features() : none;
    annotation_->setFeatures(features, session_.genome().length());
    const QString name = toQString(session_.state().name);
    if (features_ != nullptr) {
        features_->setFeatures(features, name);
    }
    if (pairs_ != nullptr) {
        pairs_->setGenome(featureIndex(), name);
        if (pairs_->isVisible()) {
            pairs_->refill();
        }
    }
    for (QAction* command : {showAnnotation_, featureTable_, findGene_}) {
        if (command != nullptr) {
            command->setEnabled(hasFeatures());
        }
    }
    if (pairsTable_ != nullptr) {
        pairsTable_->setEnabled(session_.analysed());
    }
}

void LinkedViews::showAnnotation(bool shown)
{
    annotation_->setShown(shown);
    if (showAnnotation_ != nullptr && showAnnotation_->isChecked() != shown) {
        showAnnotation_->setChecked(shown);
    }
}

FeatureTableWindow& LinkedViews::featureTable()
{
    if (features_ == nullptr) {
        features_ = new FeatureTableWindow(window_);
        features_->setFeatures(hasFeatures() ? *session_.features() : tessaron::FeatureList{},
                               toQString(session_.state().name));
        connect(features_, &FeatureTableWindow::featureChosen, this, &LinkedViews::showFeature);
    }
    return *features_;
}

PairsTableWindow& LinkedViews::pairsTable()
{
    if (pairs_ == nullptr) {
        pairs_ = new PairsTableWindow(tree_.results(), window_);
        pairs_->setGenome(featureIndex(), toQString(session_.state().name));
        connect(pairs_, &PairsTableWindow::pairChosen, this, &LinkedViews::showPair);
    }
    return *pairs_;
}

void LinkedViews::showPairsTable()
{
    // The kind of the item selected in the tree, else the first.
    const QModelIndex selected = tree_.currentIndex();
    pairsTable().showKind(selected.isValid() ? static_cast<int>(tree_.results().kindAt(selected)) : 0);
}

void LinkedViews::showFeature(const tessaron::AnnotatedFeature& feature, int part)
{
    const int length = pane_.textLength();
    if (tessaron::shownByParts(feature)) {
        // Its parts alone (a part across the origin in its two pieces); the
        // pane goes to the part chosen.
        std::vector<SequenceView::Range> ranges;
        for (const tessaron::FeaturePart& piece : feature.parts) {
            if (piece.start < 0 || piece.start >= length || piece.end < 0) {
                continue;
            }
            if (piece.start <= piece.end) {
                ranges.push_back({piece.start, std::min(piece.end + 1, length)});
            } else {
                ranges.push_back({piece.start, length});
                ranges.push_back({0, std::min(piece.end + 1, length)});
            }
        }
        if (ranges.empty()) {
            return;
        }
        pane_.selectParts(ranges);
        const std::size_t shown = part >= 0 && static_cast<std::size_t>(part) < feature.parts.size()
                                      ? static_cast<std::size_t>(part)
                                      : 0;
        const std::int32_t start = std::clamp(feature.parts[shown].start, 0, length - 1);
        const std::int32_t end = feature.parts[shown].end;
        pane_.ensureVisible(start, start <= end ? end + 1 - start : length - start);
        return;
    }
    if (feature.start < 0 || feature.start >= length) {
        return;
    }
    const int end = feature.start <= feature.end ? std::min(feature.end + 1, length) : length;
    pane_.select(end, feature.start);
    pane_.ensureVisible(feature.start, end - feature.start);
}

void LinkedViews::showPair(const QModelIndex& word, std::int32_t first, int length)
{
    if (!word.isValid()) {
        return;
    }
    tree_.setCurrentIndex(word);
    tree_.scrollTo(word);
    const int total = pane_.textLength();
    if (first < 0 || first >= total) {
        return;
    }
    pane_.select(std::min(first + length, total), first);
    pane_.ensureVisible(first, length);
}
