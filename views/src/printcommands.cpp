#include "views/printcommands.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QFile>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>
#include <QTextDocument>

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
    const std::unique_ptr<QTextDocument> document = maker_(why);
    if (!document) {
        reporter_(parent_, why);
        return false;
    }
    const QString path = chooser_(parent_, name_());
    if (path.isEmpty()) {
        return false;
    }
    if (!writePdf(*document, path)) {
        reporter_(parent_, tr("The PDF could not be written to %1.").arg(path));
        return false;
    }
    return true;
}

bool PrintCommands::printDocument()
{
    QString why;
    const std::unique_ptr<QTextDocument> document = maker_(why);
    if (!document) {
        reporter_(parent_, why);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(name_());
    if (!printerChooser_(parent_, printer)) {
        return false;
    }
    document->print(&printer);
    return true;
}

bool PrintCommands::writePdf(QTextDocument& document, const QString& path)
{
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setCreator(QStringLiteral("Tessaron"));
        document.print(&writer);
    }
    QFile written(path);
    return written.exists() && written.size() > 0;
}

std::unique_ptr<QTextDocument> basesDocument(std::string_view sequence, int start, int end,
                                             const QString& heading)
{
    const int digits = static_cast<int>(QString::number(end).size());
    QString text = heading + QStringLiteral("\n\n");
    for (int line = start; line < end; line += kBasesPerLine) {
        text += QString::number(line + 1).rightJustified(digits);
        for (int group = line; group < std::min(line + kBasesPerLine, end); group += kBasesPerGroup) {
            const int size = std::min(kBasesPerGroup, end - group);
            text += QLatin1Char(' ') + QString::fromLatin1(sequence.substr(static_cast<std::size_t>(group),
                                                                           static_cast<std::size_t>(size)));
        }
        text += QLatin1Char('\n');
    }
    auto document = std::make_unique<QTextDocument>();
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(9);
    document->setDefaultFont(font);
    document->setPlainText(text);
    return document;
}

std::unique_ptr<QTextDocument> tableDocument(const QTableView& view, const QString& heading, int mostRows)
{
    const QAbstractItemModel* model = view.model();
    auto document = std::make_unique<QTextDocument>();
    QString html = QStringLiteral("<h3>%1</h3>").arg(heading.toHtmlEscaped());
    if (model == nullptr) {
        document->setHtml(html);
        return document;
    }
    const int rows = model->rowCount();
    const int shown = std::min(rows, mostRows);
    if (shown < rows) {
        html += QObject::tr("<p>The first %1 of %2 rows.</p>").arg(shown).arg(rows);
    }
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>");
    for (int column = 0; column < model->columnCount(); ++column) {
        if (!view.isColumnHidden(column)) {
            html += QStringLiteral("<th>%1</th>")
                        .arg(model->headerData(column, Qt::Horizontal).toString().toHtmlEscaped());
        }
    }
    html += QStringLiteral("</tr>");
    for (int row = 0; row < shown; ++row) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < model->columnCount(); ++column) {
            if (!view.isColumnHidden(column)) {
                html += QStringLiteral("<td>%1</td>")
                            .arg(model->index(row, column).data().toString().toHtmlEscaped());
            }
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    QFont font = document->defaultFont();
    font.setPointSizeF(8);
    document->setDefaultFont(font);
    document->setHtml(html);
    return document;
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
