#include "views/mapwindowholder.h"

#include "views/jobstatus.h"
#include "views/mapwindow.h"
#include "views/prompts.h"
#include "views/settingsstore.h"

MapWindowHolder::MapWindowHolder(QWidget* window, Prompts& prompts, SettingsStore& settings,
                                 const JobStatus& jobs)
    : QObject(window), window_(window), prompts_(prompts), settings_(settings), jobs_(jobs)
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
    map_->setPrompts(
        [this](QWidget* parent) {
            return settings_.keepFolderOf(prompts_.saveFile(
                parent, tr("Save image"), tr("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"),
                settings_.lastFolder()));
        },
        [this](QWidget* parent, const QString& text) {
            prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
        });
    connect(map_, &CDiagramDlg::closing, this, &MapWindowHolder::closing);
    connect(map_, &CDiagramDlg::repeatClicked, this, &MapWindowHolder::repeatClicked);
    map_->setInlineSaving(jobs_.inlineJobs());
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
