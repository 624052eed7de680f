#include "views/base/printcommands.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace {

constexpr int kBasesPerLine = 60;
constexpr int kBasesPerGroup = 10;

}  // namespace

PrintCommands::PrintCommands(QWidget* parent, DocumentMaker maker, FileChooser chooser, Reporter reporter,
                             std::function<QString()> name)
    : QObject(parent),
      parent_(parent),
      maker_(std::move(maker)),
      chooser_(std::move(chooser)),
      reporter_(std::move(reporter)),
      name_(std::move(name)),
      printerChooser_([](QWidget* owner, QPrinter& printer) {
          QPrintDialog dialog(&printer, owner);
          return dialog.exec() == QDialog::Accepted;
      }),
      print_(new QAction(tr("&Print..."), parent)),
      pdf_(new QAction(tr("Export &PDF..."), parent))
{
    print_->setObjectName(QStringLiteral("printAction"));
    pdf_->setObjectName(QStringLiteral("pdfAction"));
    connect(print_, &QAction::triggered, this, &PrintCommands::printDocument);
    connect(pdf_, &QAction::triggered, this, &PrintCommands::exportPdf);
}

void PrintCommands::setTexts(const QString& print, const QString& pdf)
{
    print_->setText(print);
    pdf_->setText(pdf);
}

bool PrintCommands::exportPdf()
{
    QString why;
    const Pages pages = maker_(why);
    if (!pages) {
        reporter_(parent_, why);
        return false;
    }
    const QString path = chooser_(parent_, name_());
    if (path.isEmpty()) {
        return false;
    }
    if (!writePdf(pages, path)) {
        reporter_(parent_, tr("The PDF could not be written to %1.").arg(path));
        return false;
    }
    return true;
}

bool PrintCommands::printDocument()
{
    QString why;
    const Pages pages = maker_(why);
    if (!pages) {
        reporter_(parent_, why);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(name_());
    if (!printerChooser_(parent_, printer)) {
        return false;
    }
    pages(printer);
    return true;
}

bool PrintCommands::writePdf(const Pages& pages, const QString& path)
{
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setCreator(QStringLiteral("Tessaron"));
        pages(writer);
    }
    QFile written(path);
    return written.exists() && written.size() > 0;
}

QString basesListing(std::string_view sequence, const std::vector<std::pair<int, int>>& ranges,
                     const QString& heading)
{
    int last = 0;
    for (const auto& [start, end] : ranges) {
        last = std::max(last, end);
    }
    const int digits = static_cast<int>(QString::number(last).size());
    QString text = heading + QStringLiteral("\n");
    for (const auto& [start, end] : ranges) {
        text += QLatin1Char('\n');
        for (int line = start; line < end; line += kBasesPerLine) {
            text += QString::number(line + 1).rightJustified(digits);
            for (int group = line; group < std::min(line + kBasesPerLine, end); group += kBasesPerGroup) {
                const int size = std::min(kBasesPerGroup, end - group);
                text +=
                    QLatin1Char(' ') + QString::fromLatin1(sequence.substr(static_cast<std::size_t>(group),
                                                                           static_cast<std::size_t>(size)));
            }
            text += QLatin1Char('\n');
        }
    }
    return text;
}

PrintCommands::Pages basesDocument(std::string_view sequence, const std::vector<std::pair<int, int>>& ranges,
                                   const QString& heading)
{
    return [text = basesListing(sequence, ranges, heading)](QPagedPaintDevice& device) {
        QTextDocument document;
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(9);
        document.setDefaultFont(font);
        document.setPlainText(text);
        document.print(&device);
    };
}

PrintCommands::Pages basesDocument(std::string_view sequence, int start, int end, const QString& heading)
{
    return basesDocument(sequence, {{start, end}}, heading);
}

PrintCommands::Pages tableDocument(const QTableView& view, const QString& heading, int mostRows)
{
    return [&view, heading, mostRows](QPagedPaintDevice& device) {
        const QAbstractItemModel* model = view.model();
        QPainter painter(&device);
        if (!painter.isActive()) {
            return;
        }
        QFont font = painter.font();
        font.setPointSizeF(8);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &device);
        const QRectF page(0, 0, device.width(), device.height());
        const qreal line = metrics.lineSpacing() * 1.3;
        std::vector<int> columns;
        qreal shownWidth = 0;
        for (int column = 0; model != nullptr && column < model->columnCount(); ++column) {
            if (!view.isColumnHidden(column)) {
                columns.push_back(column);
                shownWidth += std::max(view.columnWidth(column), 1);
            }
        }
        const int rows = model != nullptr ? model->rowCount() : 0;
        const int shown = std::min(rows, mostRows);
        qreal y = 0;
        const auto text = [&](const QString& words, qreal left, qreal width, bool bold) {
            QFont face = font;
            face.setBold(bold);
            painter.setFont(face);
            painter.drawText(QRectF(left, y, width - 4, line), Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(words, Qt::ElideRight, width - 4));
        };
        const auto cells = [&](const std::function<QString(int)>& cellText, bool bold) {
            qreal left = 0;
            for (const int column : columns) {
                const qreal width = page.width() * std::max(view.columnWidth(column), 1) / shownWidth;
                text(cellText(column), left, width, bold);
                left += width;
            }
            painter.drawLine(QPointF(0, y + line), QPointF(page.width(), y + line));
            y += line;
        };
        const auto header = [&] {
            cells([model](int column) { return model->headerData(column, Qt::Horizontal).toString(); }, true);
        };
        text(heading, 0, page.width(), true);
        y += line;
        if (shown < rows) {
            text(QObject::tr("The first %L1 of %L2 rows.").arg(shown).arg(rows), 0, page.width(), false);
            y += line;
        }
        if (model == nullptr) {
            return;
        }
        header();
        for (int row = 0; row < shown; ++row) {
            if (y + line > page.height()) {
                device.newPage();
                y = 0;
                header();
            }
            cells([model, row](int column) { return model->index(row, column).data().toString(); }, false);
        }
    };
}

QString fileNameOf(const QString& text)
{
    QString name;
    for (const QChar letter : text.trimmed()) {
        name += letter.isLetterOrNumber() || letter == QLatin1Char('.') || letter == QLatin1Char('-') ||
                        letter == QLatin1Char('_')
                    ? letter
                    : QLatin1Char('_');
    }
    return name.isEmpty() ? QStringLiteral("tessaron") : name;
}
