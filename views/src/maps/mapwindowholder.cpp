#include "views/maps/mapwindowholder.h"

#include "input/filesave.h"
#include "session/session.h"
#include "views/base/jobstatus.h"
#include "views/base/printcommands.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/maps/mapwindow.h"

#include <QDir>
#include <QFile>

MapWindowHolder::MapWindowHolder(QWidget* window, Prompts& prompts, SettingsStore& settings,
                                 const JobStatus& jobs, const tessaron::Session& session)
    : QObject(window), window_(window), prompts_(prompts), settings_(settings), jobs_(jobs), session_(session)
{
    setObjectName(QStringLiteral("mapWindowHolder"));
}

CDiagramDlg& MapWindowHolder::show(const tessaron::FeatureList& features, const tessaron::Genome& genome)
{
    if (map_ != nullptr) {
        map_->raise();
        map_->activateWindow();
        return *map_;
    }
    map_ = new CDiagramDlg(window_, features, genome);
    map_->setColours(settings_.colourScheme());
    map_->setLayers(
        tessaron::layersHiding(settings_.hiddenMapLayers().toStdString()).value_or(tessaron::MapLayers{}));
    connect(map_, &CDiagramDlg::layersChanged, this, [this](const tessaron::MapLayers& layers) {
        settings_.saveHiddenMapLayers(QString::fromStdString(tessaron::hiddenLayerNames(layers)));
    });
    map_->setWindowTitle(QStringLiteral("%1 - %2").arg(
        map_->windowTitle(), genomeAndSearch(QString::fromStdString(session_.state().name),
                                             session_.minimum(), session_.maximum(), session_.method())));
    map_->setPrompts(
        [this](QWidget* parent) {
            // Named after the genome, in the folder of the last file chosen.
            const QString name =
                fileNameOf(QString::fromStdString(session_.state().name) + QStringLiteral("-map"));
            const QString folder = settings_.lastFolder();
            const QString path = settings_.keepFolderOf(prompts_.saveFile(
                parent, tr("Save image"), tr("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"),
                folder.isEmpty() ? name : QDir(folder).filePath(name)));
            // Never over the genome being shown.
            if (const auto refusal =
                    tessaron::outputIsInput(QFile::encodeName(path).toStdString(), {session_.state().file})) {
                prompts_.message(parent, applicationName(), QString::fromStdString(*refusal),
                                 Prompts::Icon::Warning);
                return QString();
            }
            return path;
        },
        [this](QWidget* parent, const QString& text) {
            prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
        });
    connect(map_, &CDiagramDlg::closing, this, &MapWindowHolder::closing);
    connect(map_, &CDiagramDlg::repeatClicked, this, &MapWindowHolder::repeatClicked);
    connect(map_, &CDiagramDlg::tandemArrayClicked, this, &MapWindowHolder::tandemArrayClicked);
    jobs_.lead(map_->saver());
    map_->showBands(bands_);
    emit opened(map_);
    map_->show();
    if (!map_->lengthWarning().isEmpty()) {
        emit warned(map_->lengthWarning());
    }
    return *map_;
}

void MapWindowHolder::close()
{
    delete map_.data();
    map_ = nullptr;
}

void MapWindowHolder::setBands(std::vector<tessaron::MapBand> bands)
{
    bands_ = std::move(bands);
    if (map_ != nullptr) {
        map_->showBands(bands_);
    }
}
