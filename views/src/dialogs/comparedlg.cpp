#include "views/dialogs/comparedlg.h"

#include "compare/comparisonrun.h"
#include "views/base/prompts.h"
#include "views/base/qtstrings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <variant>
#include <vector>

namespace {

// The bar advances this far per file, the platform control's default step.
constexpr int kProgressStep = 10;

QPushButton* makeButton(const QString& text, const char* name, int id)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("controlId", id);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CCompareDlg::CCompareDlg(int minimum, int maximum, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      minimum_(minimum),
      maximum_(maximum),
      prompts_(prompts),
      fileList_(new QListWidget),
      kindList_(new QComboBox),
      sizeText_(new QLineEdit),
      progressBar_(new QProgressBar),
      addButton_(makeButton(tr("&Add file..."), "addButton", 1064)),
      removeButton_(makeButton(tr("&Remove file"), "removeButton", 1065)),
      okButton_(makeButton(tr("OK"), "okButton", 1)),
      cancelButton_(makeButton(tr("&Cancel"), "cancelButton", 2)),
      jobs_(std::make_unique<JobRunner>())
{
    setWindowTitle(tr("Compare genomes"));

    // Full paths, kept in the order added; long ones lose their folders
    // first, so that the file names stay readable.
    fileList_->setObjectName(QStringLiteral("fileList"));
    fileList_->setProperty("controlId", 1063);
    fileList_->setSortingEnabled(false);
    fileList_->setSelectionMode(QAbstractItemView::SingleSelection);
    fileList_->setTextElideMode(Qt::ElideLeft);

    kindList_->setObjectName(QStringLiteral("kindList"));
    kindList_->setProperty("controlId", 1071);
    kindList_->setEditable(false);
    for (const tessaron::RepeatKind kind : kKindItems) {
        kindList_->addItem(tr(tessaron::kindInfo(kind).heading.data()));
    }
    kindList_->setCurrentIndex(0);

    sizeText_->setObjectName(QStringLiteral("sizeText"));
    sizeText_->setProperty("controlId", 1068);
    sizeText_->setReadOnly(true);
    sizeText_->setText(tr("min. size: %1bp; max. size: %2bp").arg(minimum_).arg(maximum_));

    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setProperty("controlId", 1066);
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);

    okButton_->setDefault(true);
    connect(addButton_, &QPushButton::clicked, this, &CCompareDlg::OnAddFile);
    connect(removeButton_, &QPushButton::clicked, this, &CCompareDlg::OnRemoveFile);
    connect(okButton_, &QPushButton::clicked, this, &CCompareDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CCompareDlg::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(addButton_);
    buttons->addWidget(removeButton_);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(okButton_);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Files:")), 0, 0);
    grid->addWidget(fileList_, 1, 0);
    grid->addLayout(buttons, 1, 1);
    auto* kindRow = new QGridLayout;
    kindRow->addWidget(new QLabel(tr("Compare what:")), 0, 0);
    kindRow->addWidget(kindList_, 0, 1);
    kindRow->addWidget(sizeText_, 0, 2);
    kindRow->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(kindRow);
    layout->addWidget(progressBar_);
    resize(520, 300);
}

void CCompareDlg::OnAddFile()
{
    const QStringList chosen = prompts_.openFiles(this, tr("Open"));
    for (const QString& path : chosen) {
        fileList_->addItem(path);
        fileList_->item(fileList_->count() - 1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

void CCompareDlg::OnRemoveFile()
{
    const QList<QListWidgetItem*> selected = fileList_->selectedItems();
    if (!selected.isEmpty()) {
        delete fileList_->takeItem(fileList_->row(selected.front()));
    }
}

std::optional<tessaron::RepeatKind> CCompareDlg::kindOfItem(int item)
{
    if (item < 0 || item >= static_cast<int>(kKindItems.size())) {
        return std::nullopt;
    }
    return kKindItems[static_cast<std::size_t>(item)];
}

void CCompareDlg::setMicrosatelliteViewer(const tessaron::MicrosatelliteSettings& settings,
                                          MicrosatelliteViewer viewer)
{
    if (!microsatelliteViewer_) {
        kindList_->addItem(tr("Microsatellites"));
    }
    microsatelliteSettings_ = settings;
    microsatelliteViewer_ = std::move(viewer);
}

void CCompareDlg::reportFailure(const tessaron::ComparisonFailure& failure)
{
    // The list stays for another try; a cancelled run says nothing.
    progressBar_->setValue(0);
    if (failure.reason == tessaron::ComparisonFailure::Reason::Cancelled) {
        return;
    }
    QString text = toQString(failure.message);
    if (!failure.file.empty()) {
        text += QStringLiteral("\n\n") + toQString(failure.file.string());
        if (!failure.detail.empty()) {
            text += QStringLiteral("\n") + toQString(failure.detail);
        }
    }
    prompts_.message(this, applicationName(), text, Prompts::Icon::None);
}

void CCompareDlg::compareMicrosatellites(std::vector<std::filesystem::path> files)
{
    using Outcome = std::variant<tessaron::MicrosatelliteComparison, tessaron::ComparisonFailure>;
    jobs_->start<Outcome, int>(
        [files = std::move(files), settings = microsatelliteSettings_](
            const std::stop_token& stop, const JobRunner::Reporter<int>& report) {
            tessaron::ComparisonOptions options;
            options.progress = [&report](int done) { report.newStep(done); };
            options.stop = stop;
            return tessaron::runMicrosatelliteComparison(files, settings, options);
        },
        [this](Outcome outcome) {
            for (QWidget* button : {addButton_, removeButton_, okButton_}) {
                button->setEnabled(true);
            }
            if (const auto* failure = std::get_if<tessaron::ComparisonFailure>(&outcome)) {
                reportFailure(*failure);
                return;
            }
            microsatelliteViewer_(std::get<tessaron::MicrosatelliteComparison>(outcome));
            QDialog::accept();
        },
        [this](int done) { progressBar_->setValue(kProgressStep * done); });
}

void CCompareDlg::accept()
{
    std::vector<std::filesystem::path> files;
    files.reserve(static_cast<std::size_t>(fileList_->count()));
    for (int row = 0; row < fileList_->count(); ++row) {
        files.emplace_back(toStdString(fileList_->item(row)->text()));
    }
    const std::optional<tessaron::RepeatKind> kind = kindOfItem(kindList_->currentIndex());
    if (!files.empty() && kind) {
        progressBar_->setRange(0, kProgressStep * fileList_->count());
        progressBar_->setValue(0);
    }

    using Outcome = std::variant<tessaron::GenomeComparison, tessaron::ComparisonFailure>;
    // Cancel stays: it stops the run.
    for (QWidget* button : {addButton_, removeButton_, okButton_}) {
        button->setEnabled(false);
    }
    if (microsatelliteViewer_ && kindList_->currentIndex() == static_cast<int>(kKindItems.size())) {
        progressBar_->setRange(0, kProgressStep * std::max(1, fileList_->count()));
        progressBar_->setValue(0);
        compareMicrosatellites(std::move(files));
        return;
    }
    jobs_->start<Outcome, int>(
        [files = std::move(files), kind, minimum = minimum_, maximum = maximum_, method = method_](
            const std::stop_token& stop, const JobRunner::Reporter<int>& report) {
            tessaron::ComparisonOptions options;
            options.method = method;
            // Each file read is a step of its own, never merged away.
            options.progress = [&report](int done) { report.newStep(done); };
            options.stop = stop;
            return tessaron::runComparison(files, kind, minimum, maximum, options);
        },
        [this](Outcome outcome) {
            for (QWidget* button : {addButton_, removeButton_, okButton_}) {
                button->setEnabled(true);
            }
            if (const auto* failure = std::get_if<tessaron::ComparisonFailure>(&outcome)) {
                reportFailure(*failure);
                return;
            }
            if (sheetViewer_) {
                sheetViewer_(std::get<tessaron::GenomeComparison>(outcome));
            }
            QDialog::accept();
        },
        [this](int done) { progressBar_->setValue(kProgressStep * done); });
}

void CCompareDlg::reject()
{
    if (jobs_->busy()) {
        jobs_->cancel();
        return;
    }
    QDialog::reject();
}
