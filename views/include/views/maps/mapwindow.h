#pragma once

// The circular map window: modeless and resizable, showing the map of the
// loaded GenBank genome and the occurrences of the repeat selected in the main
// window. The map fills the window (at 600 x 460 pixel for pixel as drawn at
// its own size); the wheel zooms about the mouse, a drag pans, a double click
// goes back to the whole map. A tooltip names the feature, the repeat or the
// tandem array under the mouse, and a click on a repeat's chord, dots or band,
// or on a tandem array's tick, tells the main window. Its pop-up menu saves
// the map as a PNG, SVG or PDF file of a chosen size, prints it, sets the
// names apart ("Tidy labels"), turns it into the map for a paper ("For a
// paper") and resets the view. The names are set apart from the start on a
// genome with too many features to stagger them.

#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/repeatkinds.h"
#include "engine/repeatlist.h"
#include "engine/tandemrepeats.h"
#include "input/feature.h"
#include "mapimage/diagrampainter.h"

#include <QDialog>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QTransform>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class JobRunner;
class QMenu;
class QPrinter;

class CDiagramDlg : public QDialog {
    Q_OBJECT

public:
    // Chooses the file to save to (empty when cancelled).
    using FileChooser = std::function<QString(QWidget* parent)>;
    // Tells the user that something went wrong.
    using Reporter = std::function<void(QWidget* parent, const QString& text)>;
    // Asks how large and how smooth the saved image is (none when cancelled).
    using ImageOptionsChooser = std::function<std::optional<tessaron::MapImageOptions>(
        QWidget* parent, const tessaron::MapImageOptions& proposed, QSize ownSize)>;
    // Sets up the printer (the print dialog); false when cancelled.
    using PrinterChooser = std::function<bool(QWidget* parent, QPrinter& printer)>;

    // `genome` belongs to the owner, who destroys this window before it
    // releases it; the features are copied. The map turns on the genome's
    // length, the bases read. The window deletes itself once it is closed.
    CDiagramDlg(QWidget* parent, const tessaron::FeatureList& features, const tessaron::Genome& genome);
    ~CDiagramDlg() override;
    CDiagramDlg(const CDiagramDlg&) = delete;
    CDiagramDlg& operator=(const CDiagramDlg&) = delete;

    void setPrompts(FileChooser chooser, Reporter reporter);
    void setImageOptionsChooser(ImageOptionsChooser chooser);
    void setPrinterChooser(PrinterChooser chooser);

    // Marks the given repeat (none removes the marks) and repaints at once.
    // `kind` names it in the tooltip; without it the tooltip says only
    // whether it is direct.
    void ShowRepeat(const tessaron::Repeat* repeat, std::span<const tessaron::RepeatPair> pairs,
                    std::optional<tessaron::RepeatKind> kind = std::nullopt);

    // Draws the approximate pairs as bands coloured by identity (none: no bands).
    void showBands(std::vector<tessaron::MapBand> bands);
    // Draws the microsatellites as ticks on a ring of their own (null: none).
    void ShowMicrosatellites(const tessaron::MicrosatelliteList* list);
    // Draws the tandem arrays as ticks on a ring of their own (null: none),
    // none of them selected, and names them in the tooltips; then marks the
    // `index`-th one (none: no mark).
    void showTandemArrays(const tessaron::TandemRepeatList* list);
    void selectTandemArray(std::optional<std::size_t> index);
    // Marks a stretch of the genome on the ring (a part of the plastome); none clears it.
    void markStretch(std::optional<tessaron::MapStretch> stretch);
    [[nodiscard]] const std::optional<tessaron::MapStretch>& markedStretch() const { return scene_.marked(); }

    [[nodiscard]] bool hasRepeat() const { return scene_.repeat().has_value(); }
    [[nodiscard]] std::span<const tessaron::RepeatPair> pairs() const { return scene_.pairs(); }
    [[nodiscard]] const tessaron::MapScene& scene() const { return scene_; }
    // What to tell the user when the whole-sequence feature disagrees with
    // the bases read; empty when they agree.
    [[nodiscard]] QString lengthWarning() const;

    // Whether the standard map's names are set apart (chosen, or because the
    // features are too many to stagger).
    // The layers drawn (in the window, its images and its prints); changing
    // them tells layersChanged.
    [[nodiscard]] const tessaron::MapLayers& layers() const { return scene_.layers(); }
    void setLayers(const tessaron::MapLayers& layers);
    [[nodiscard]] bool tidyLabels() const;
    void setTidyLabels(bool tidy);
    // The map for a paper instead of the standard one; the view is reset.
    [[nodiscard]] bool paperStyle() const { return style_.look == tessaron::MapLook::Paper; }
    void setPaperStyle(bool paper);
    [[nodiscard]] const tessaron::DiagramStyle& style() const { return style_; }
    // The colours of the selected repeat's copies, on screen and in the files saved.
    void setColours(const tessaron::ColourScheme& colours);

    // Map coordinates to the window's, with the zoom and pan: the map's part
    // of the plane (600 x 460 for the standard map) fits the window.
    [[nodiscard]] QTransform viewTransform() const;
    [[nodiscard]] double zoom() const { return zoom_; }
    // Zooms by `factor` keeping the map point under `at` (window coordinates) in place.
    void zoomAt(QPointF at, double factor);
    // The whole map again, fitted to the window.
    void resetView();
    // What the tooltip says at a point of the window; empty over nothing.
    [[nodiscard]] QString toolTipAt(QPointF at) const;

    // The map at its own size, as the window shows it unzoomed at that size.
    [[nodiscard]] QImage image() const;
    // Asks how and where to save, then writes the map there off the window's
    // thread, from a copy of what it shows; false when cancelled. A file that
    // cannot be written is told to the user once the writing has ended. With
    // inline saving the map is written before saveImage returns, and false
    // also tells that it could not be.
    bool saveImage();
    void setInlineSaving(bool runInline);
    // The runner that saves the map, to follow the window's (JobStatus::lead).
    [[nodiscard]] JobRunner& saver() { return *saver_; }
    // Runs the event loop until the map being saved is written, for at most
    // `milliseconds`; whether it has been.
    bool waitForSave(int milliseconds);
    // Asks for the printer, then prints the map filling the page, keeping
    // its shape; false when cancelled or when it cannot be printed.
    bool printMap();
    // Prints onto a printer set up already.
    bool print(QPrinter& printer) const;
    // The window's pop-up menu: "Save image...", "Print...", "Tidy labels",
    // "For a paper", "Reset view".
    [[nodiscard]] std::unique_ptr<QMenu> contextMenu();

signals:
    // The user closed the window; it deletes itself afterwards.
    void closing();
    // The user clicked on the marks of the selected repeat's pair `pair`.
    void repeatClicked(int pair);
    // The user clicked on the tick of the `index`-th tandem array shown.
    void tandemArrayClicked(int index);
    // The user turned a layer on or off.
    void layersChanged(const tessaron::MapLayers& layers);

public slots:
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    [[nodiscard]] tessaron::MapPointF toMap(QPointF at) const;
    // The part of the map's plane the window shows at zoom 1.
    [[nodiscard]] tessaron::MapBounds shownBounds() const;
    [[nodiscard]] QPointF boundsCentre() const;
    // The tandem array whose tick lies at a point of the window (the map for
    // a paper draws none).
    [[nodiscard]] std::optional<std::size_t> tandemArrayAt(QPointF at) const;

    // What the tooltip tells of a tandem array.
    struct TandemTip {
        int period = 0;
        double copies = 0.0;
        std::string consensus;  // its first letters at most
    };

    const tessaron::Genome& genome_;
    tessaron::MapScene scene_;
    std::optional<tessaron::RepeatKind> kind_;
    std::vector<TandemTip> tandemTips_;  // one a tandem array of the scene
    tessaron::DiagramStyle style_;
    tessaron::MapBounds bounds_;  // the map's own part of the plane in its style
    tessaron::MapImageOptions saveOptions_;
    double zoom_ = 1.0;
    QPointF focus_;  // the map point at the window's centre
    std::optional<QPointF> pressedAt_;
    QPointF lastDrag_;
    bool dragged_ = false;
    FileChooser chooser_;
    Reporter reporter_;
    ImageOptionsChooser optionsChooser_;
    PrinterChooser printerChooser_;
    std::unique_ptr<JobRunner> saver_;
};
