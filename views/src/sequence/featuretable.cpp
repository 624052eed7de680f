#include "views/sequence/featuretable.h"

#include "views/base/listtableview.h"
#include "views/base/qtstrings.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

using tessaron::AnnotatedFeature;

namespace {

QString strandText(tessaron::Strand strand)
{
    switch (strand) {
        case tessaron::Strand::Plus:
            return QStringLiteral("+");
        case tessaron::Strand::Minus:
            return QStringLiteral("-");
        case tessaron::Strand::Unknown:
            break;
    }
    return {};
}

}  // namespace

FeatureTableModel::FeatureTableModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void FeatureTableModel::setFeatures(const tessaron::FeatureList& features)
{
    beginResetModel();
    features_ = tessaron::annotateFeatures(features);
    rows_.clear();
    for (std::size_t k = 0; k < features_.size(); ++k) {
        if (tessaron::shownByParts(features_[k])) {
            for (std::size_t part = 0; part < features_[k].parts.size(); ++part) {
                rows_.push_back({k, static_cast<int>(part)});
            }
        } else {
            rows_.push_back({k, -1});
        }
    }
    endResetModel();
}

int FeatureTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FeatureTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FeatureTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Row& row = rowAt(index.row());
    const AnnotatedFeature& feature = features_[row.feature];
    if (role == FeatureRole) {
        return QVariant::fromValue(static_cast<qulonglong>(feature.feature));
    }
    if (role == PartRole) {
        return row.part;
    }
    // A part's own strand and ends, else the feature's.
    const bool ofPart = row.part >= 0;
    const tessaron::FeaturePart& part =
        ofPart ? feature.parts[static_cast<std::size_t>(row.part)] : tessaron::FeaturePart{};
    const std::int32_t start = ofPart ? part.start : feature.start;
    const std::int32_t end = ofPart ? part.end : feature.end;
    if (role == Qt::TextAlignmentRole) {
        return index.column() == Start || index.column() == End ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                                : QVariant();
    }
    if (role != Qt::DisplayRole && role != SortRole) {
        return {};
    }
    switch (index.column()) {
        case Name:
            return ofPart ? tr("%1 (part %2 of %3)")
                                .arg(toQString(feature.name))
                                .arg(row.part + 1)
                                .arg(feature.parts.size())
                          : toQString(feature.name);
        case Type:
            return QString::fromLatin1(tessaron::typeName(feature.type));
        case Strand:
            return strandText(ofPart ? tessaron::strandOf(feature, part) : feature.strand);
        case Start:
            return role == SortRole ? QVariant(start + 1) : QVariant(QString::number(start + 1));
        case End:
            return role == SortRole ? QVariant(end + 1) : QVariant(QString::number(end + 1));
        case Product:
            return toQString(feature.product);
        default:
            return {};
    }
}

QVariant FeatureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kHeadings[ColumnCount] = {"Name", "Type", "Strand", "Start", "End", "Product"};
    return section >= 0 && section < ColumnCount ? tr(kHeadings[section]) : QVariant();
}

// Keeps the features whose name or product contains the text, in any case.
class FeatureNameFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setWanted(const QString& text)
    {
        wanted_ = text;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (wanted_.isEmpty()) {
            return true;
        }
        const QAbstractItemModel& features = *sourceModel();
        for (const int column : {FeatureTableModel::Name, FeatureTableModel::Product}) {
            if (features.index(row, column, parent)
                    .data()
                    .toString()
                    .contains(wanted_, Qt::CaseInsensitive)) {
                return true;
            }
        }
        return false;
    }

private:
    QString wanted_;
};

FeatureTableWindow::FeatureTableWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(new FeatureTableModel(this)),
      shown_(new FeatureNameFilter(this)),
      name_(new QLineEdit(this)),
      view_(new QTableView(this))
{
    setObjectName(QStringLiteral("featureTable"));
    name_->setObjectName(QStringLiteral("geneName"));
    name_->setPlaceholderText(tr("Gene name"));
    name_->setClearButtonEnabled(true);
    view_->setObjectName(QStringLiteral("featureView"));
    shown_->setSourceModel(model_);
    shown_->setSortRole(FeatureTableModel::SortRole);
    shown_->setSortCaseSensitivity(Qt::CaseInsensitive);
    view_->setModel(shown_);
    view_->setSortingEnabled(true);
    view_->sortByColumn(FeatureTableModel::Start, Qt::AscendingOrder);
    setUpListTable(*view_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(name_);
    column->addWidget(view_);
    connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) { shown_->setWanted(text); });
    connect(name_, &QLineEdit::returnPressed, this, [this] {
        if (shown_->rowCount() > 0) {
            view_->setCurrentIndex(shown_->index(0, 0));
            choose(shown_->index(0, 0));
        }
    });
    connect(view_, &QTableView::clicked, this, &FeatureTableWindow::choose);
    connect(view_, &QTableView::activated, this, &FeatureTableWindow::choose);
    resize(560, 420);
}

void FeatureTableWindow::setFeatures(const tessaron::FeatureList& features, const QString& genome)
{
    model_->setFeatures(features);
    view_->resizeColumnsToContents();
    setWindowTitle(genome.isEmpty() ? tr("Features") : tr("Features - %1").arg(genome));
}

void FeatureTableWindow::findGene()
{
    show();
    raise();
    activateWindow();
    name_->setFocus(Qt::ShortcutFocusReason);
    name_->selectAll();
}

void FeatureTableWindow::choose(const QModelIndex& index)
{
    const QModelIndex source = shown_->mapToSource(index);
    if (source.isValid()) {
        const FeatureTableModel::Row& row = model_->rowAt(source.row());
        emit featureChosen(model_->features()[row.feature], row.part);
    }
}
