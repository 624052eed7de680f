#pragma once

// The map window beside the main window: at most one, made for the loaded
// genome by "&Diagram" and raised by it when it is open already, destroyed
// when the genome changes. Its image chooser starts in the folder of the
// last file chosen, and its messages go through the prompts.

#include "engine/genome.h"
#include "input/feature.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "mapgeometry/mapscene.h"

#include <vector>

class CDiagramDlg;
class JobStatus;
class Prompts;
class SettingsStore;
class QWidget;

namespace tessaron {
class Session;
}  // namespace tessaron

class MapWindowHolder : public QObject {
    Q_OBJECT

public:
    // The map window is a window of `window`; it saves on the window's
    // thread when `jobs` runs its jobs inline.
    // Its title names the genome and the search of `session`.
    MapWindowHolder(QWidget* window, Prompts& prompts, SettingsStore& settings, const JobStatus& jobs,
                    const tessaron::Session& session);

    // The map window of `features` and `genome` (which must outlive it):
    // made and shown unless one is open, else raised.
    CDiagramDlg& show(const tessaron::FeatureList& features, const tessaron::Genome& genome);
    // The open map window, or null.
    [[nodiscard]] CDiagramDlg* open() const { return map_; }
    // The approximate pairs drawn as bands on the open map and on every new one.
    void setBands(std::vector<tessaron::MapBand> bands);
    // The map window has closed itself.
    void forget() { map_ = nullptr; }
    // Destroys the map window, if one is open.
    void close();

signals:
    // A new map window's warning about the genome's length.
    void warned(const QString& text);
    // A click on the marks of the repeat shown: the pair clicked.
    void repeatClicked(int pair);
    // A click on the tick of the `index`-th tandem array shown.
    void tandemArrayClicked(int index);
    // The map window closes itself.
    void closing();
    // A new map window has been made, before it is shown.
    void opened(CDiagramDlg* map);

private:
    QWidget* window_;
    Prompts& prompts_;
    SettingsStore& settings_;
    const JobStatus& jobs_;
    const tessaron::Session& session_;
    QPointer<CDiagramDlg> map_;
    std::vector<tessaron::MapBand> bands_;
};
