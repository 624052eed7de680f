#include "views/maps/plastomewindow.h"

#include "mapimage/junctionpainter.h"
#include "report/junctionfiguregenes.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The figure at its own size, in a scroll area.
class JunctionFigureView : public QWidget {
public:
    JunctionFigureView(const tessaron::JunctionFigure& figure, QWidget* parent)
        : QWidget(parent), figure_(figure)
    {
        setObjectName(QStringLiteral("junctionFigure"));
        setFixedSize(figure.width, figure.height);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        tessaron::paintJunctionFigure(painter, figure_);
    }

private:
    const tessaron::JunctionFigure& figure_;
};

QString plastomeNumber(std::int64_t value)
{
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(value));
}

QTableWidgetItem* plastomeCell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

CPlastomeDlg::CPlastomeDlg(QWidget* parent, tessaron::PlastomeAnalysis analysis)
    : QDialog(parent), analysis_(std::move(analysis))
{
    setObjectName(QStringLiteral("plastomeWindow"));
    setWindowTitle(tr("Plastome structure: %1").arg(QString::fromStdString(analysis_.name)));
    const tessaron::PlastomeStructure& s = analysis_.structure;
    figure_ =
        tessaron::junctionFigureOf({{analysis_.name, s, tessaron::junctionFigureGenes(analysis_.genes)}});

    auto* column = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("plastomeSummary"));
    column->addWidget(summary_);
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("plastomeTable"));
    table_->setColumnCount(6);
    table_->setHorizontalHeaderLabels(
        {tr("Part or junction"), tr("Start"), tr("End"), tr("Length"), tr("GC %"), tr("Genes")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(table_);
    if (s.found) {
        summary_->setText(
            tr("Quadripartite: inverted repeat of %1 and %2 bases, %3 % identical, %4 differences")
                .arg(plastomeNumber(s.region(tessaron::PlastomePart::IrB).length),
                     plastomeNumber(s.region(tessaron::PlastomePart::IrA).length),
                     QString::number(s.irIdentity(), 'f', 2),
                     plastomeNumber(static_cast<std::int64_t>(s.differences.size()))));
        table_->setRowCount(8);
        for (int p = 0; p < 4; ++p) {
            const auto part = static_cast<tessaron::PlastomePart>(p);
            const tessaron::PlastomeRegion& r = s.region(part);
            table_->setItem(p, 0,
                            plastomeCell(QString::fromStdString(std::string(tessaron::partName(part)))));
            table_->setItem(p, 1, plastomeCell(plastomeNumber(r.start + 1)));
            table_->setItem(p, 2, plastomeCell(plastomeNumber(r.last(s.genomeLength) + 1)));
            table_->setItem(p, 3, plastomeCell(plastomeNumber(r.length)));
            table_->setItem(p, 4, plastomeCell(QString::number(r.gc * 100.0, 'f', 2)));
            table_->setItem(p, 5, plastomeCell(QString()));
        }
        for (int j = 0; j < 4; ++j) {
            const auto junction = static_cast<tessaron::PlastomeJunction>(j);
            const int row = 4 + j;
            table_->setItem(
                row, 0, plastomeCell(QString::fromStdString(std::string(tessaron::junctionName(junction)))));
            table_->setItem(row, 1,
                            plastomeCell(QString::fromStdString(
                                tessaron::junctionText(s.before(junction), s.after(junction)))));
            for (int c = 2; c < 5; ++c) {
                table_->setItem(row, c, plastomeCell(QString()));
            }
            table_->setItem(row, 5, plastomeCell(genesText(analysis_.genes[static_cast<std::size_t>(j)])));
        }
        table_->resizeColumnsToContents();
    } else {
        summary_->setText(
            tr("No quadripartite structure: the longest inverted copy has %1 bases, %2 would count")
                .arg(plastomeNumber(s.longestIrCandidate), plastomeNumber(s.minIrLength)));
        table_->hide();
    }
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) { chooseRow(row); });
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("junctionFigureArea"));
    scroll->setWidget(new JunctionFigureView(figure_, scroll));
    scroll->setBackgroundRole(QPalette::Base);
    column->addWidget(scroll, 1);
    resize(std::min(figure_.width + 40, 1200), 560);
}

QString CPlastomeDlg::summary() const
{
    return summary_->text();
}

QString CPlastomeDlg::genesText(const tessaron::JunctionGenes& genes)
{
    QStringList parts;
    for (const tessaron::JunctionGene& gene : genes.crossing) {
        parts << QStringLiteral("%1 (%2 | %3)")
                     .arg(QString::fromStdString(gene.name), plastomeNumber(gene.basesBefore),
                          plastomeNumber(gene.basesAfter));
    }
    if (!parts.isEmpty()) {
        return parts.join(QStringLiteral(", "));
    }
    const QString before = genes.before ? QStringLiteral("%1 %2 bp")
                                              .arg(QString::fromStdString(genes.before->name),
                                                   plastomeNumber(genes.before->distance))
                                        : QStringLiteral("-");
    const QString after = genes.after ? QStringLiteral("%1 bp %2")
                                            .arg(plastomeNumber(genes.after->distance),
                                                 QString::fromStdString(genes.after->name))
                                      : QStringLiteral("-");
    return before + QStringLiteral(" | ") + after;
}

void CPlastomeDlg::chooseRow(int row)
{
    const tessaron::PlastomeStructure& s = analysis_.structure;
    if (!s.found || row < 0 || row >= 8) {
        return;
    }
    if (row < 4) {
        const tessaron::PlastomeRegion& r = s.regions[static_cast<std::size_t>(row)];
        if (r.length > 0) {
            emit regionChosen(r.start, r.length);
        }
        return;
    }
    // The two bases either side of the junction.
    emit regionChosen(s.before(static_cast<tessaron::PlastomeJunction>(row - 4)), 2);
}
