#pragma once

// What one map shows, in plain numbers: the features clipped to the bases
// actually read, the turn those bases make, the selected repeat, and which of
// them lies under a point. Long repeats are drawn as two arcs joined by a band
// instead of dots and a chord; the band's outline is computed here.

#include "engine/plastomestructure.h"
#include "engine/repeatlist.h"
#include "input/feature.h"
#include "mapgeometry/diagramgeometry.h"
#include "mapgeometry/gcprofile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaron {

struct MapPointF {
    double x = 0.0;
    double y = 0.0;
};

// The circle's centre as the point formula places it (it truncates and adds 1).
inline constexpr MapPointF kMapCircleCentre{kMapCentreX + 0.5, kMapCentreY + 0.5};
// Long repeats: the arcs of their copies on radius 167, the band inside them.
inline constexpr double kCopyArcWidth = 6.0;
inline constexpr double kBandRadius = kScaleRadius - kCopyArcWidth / 2.0;
// A copy at least this many pixels long on radius 167 is drawn as an arc.
inline constexpr double kBandMinPixels = 4.0;

// The note to give when the whole-sequence feature disagrees with the number
// of bases read (a truncated file, a wrong length); none when they agree or
// nothing was read.
[[nodiscard]] std::optional<std::string> sourceLengthWarning(const FeatureList& features,
                                                             std::int64_t basesRead);

// The features with nothing past `sequenceEnd` (the last base read, 0-based):
// the whole-sequence feature becomes 0..sequenceEnd, a feature that starts
// past the end goes (or, across the origin, keeps its part from 0), an end
// past it is cut there.
[[nodiscard]] FeatureList clipFeatures(const FeatureList& features, std::int32_t sequenceEnd);

// Whether copies of `length` bases are long enough to be drawn as arcs.
[[nodiscard]] bool drawnAsBand(double radiansPerBase, std::int32_t length);

// Points along the circle of `radius` over the bases start .. start+length-1
// (clockwise), about one a degree.
[[nodiscard]] std::vector<MapPointF> copyArc(double radiansPerBase, std::int32_t start, std::int32_t length,
                                             double radius);

// The closed outline of the band joining a pair's two copies: the first copy's
// arc, a curve through the inside of the circle to the second copy, its arc,
// and a curve back.
[[nodiscard]] std::vector<MapPointF> bandOutline(double radiansPerBase, const RepeatPair& pair,
                                                 std::int32_t length);

// An approximate pair drawn as a band between its copies, coloured by its
// identity (identityColor).
struct MapBand {
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int32_t length = 0;
    double identity = 0.0;
    RepeatKind kind = RepeatKind::Direct;
};

// The layers a map draws, each on by default: a bacterium's thousands of
// approximate bands would otherwise hide its GC rings, scale and name.
struct MapLayers {
    bool genes = true;        // the features' arcs and names
    bool exact = true;        // the selected repeat of the exact searches
    bool approximate = true;  // the approximate pairs' bands
    std::array<bool, kRepeatKindCount> kinds{true, true, true, true};  // repeats of each kind, by RepeatKind
    bool microsatellites = true;
    bool tandem = true;   // the tandem arrays' ring
    bool gcRings = true;  // the map for a paper's GC content and skew
    bool legend = true;
    bool plastome = true;  // the map for a paper's ring of the plastome's four parts

    [[nodiscard]] bool showsKind(RepeatKind kind) const { return kinds[static_cast<std::size_t>(kind)]; }
    friend bool operator==(const MapLayers&, const MapLayers&) = default;
};

// The layers' names, as the command line and the settings write them:
// genes, exact, approximate, direct, inverted, mirror, complementary,
// microsatellites, tandem, gc, legend, plastome.
[[nodiscard]] std::span<const std::string_view> mapLayerNames();
// Whether the named layer is on; false for an unknown name.
[[nodiscard]] bool layerShown(const MapLayers& layers, std::string_view name);
// Turns the named layer on or off; an unknown name changes nothing.
void showLayer(MapLayers& layers, std::string_view name, bool shown);
// The names of the layers that are off, comma-separated ("" when all are on).
[[nodiscard]] std::string hiddenLayerNames(const MapLayers& layers);
// Every layer on but those named in a comma-separated list; nothing when a
// name is unknown (the unknown name in `unknown` when given).
[[nodiscard]] std::optional<MapLayers> layersHiding(std::string_view names, std::string* unknown = nullptr);

// Microsatellites: a tick each on a ring of their own inside the circle,
// clear of the scale's labels, a radial line from the inner to the outer
// radius through the middle of its letters.
inline constexpr double kMicrosatelliteInner = 112.0;
inline constexpr double kMicrosatelliteOuter = 124.0;

struct MapStretch {
    std::int32_t start = 0;
    std::int32_t length = 0;
};

struct MapTick {
    MapPointF inner;
    MapPointF outer;
};

[[nodiscard]] std::vector<MapTick> microsatelliteTicks(double radiansPerBase,
                                                       std::span<const MapStretch> stretches);

// Tandem arrays: a tick each on a ring of their own inside the
// microsatellites', drawn alike; the selected array's tick reaches further
// in and out, and an arc along the ring spans its letters.
inline constexpr double kTandemInner = 96.0;
inline constexpr double kTandemOuter = 106.0;
inline constexpr double kTandemReach = 4.0;
[[nodiscard]] std::vector<MapTick> tandemTicks(double radiansPerBase, std::span<const MapStretch> stretches);
[[nodiscard]] MapTick selectedTandemTick(double radiansPerBase, const MapStretch& stretch);

// Even-odd test of a point against a closed outline.
[[nodiscard]] bool insideOutline(std::span<const MapPointF> outline, MapPointF point);

class MapScene {
public:
    MapScene() = default;
    // `basesRead` is the genome's length; the map's turn follows it, never the
    // whole-sequence feature. 0 takes the whole-sequence feature's length.
    MapScene(const FeatureList& features, std::int64_t basesRead);

    // Clipped to the bases read, the whole-sequence feature first.
    [[nodiscard]] const FeatureList& features() const { return features_; }
    [[nodiscard]] std::int32_t sequenceEnd() const { return sequenceEnd_; }
    [[nodiscard]] double perBase() const { return perBase_; }
    // Empty when the whole-sequence feature agrees with the bases read.
    [[nodiscard]] const std::string& lengthWarning() const { return warning_; }

    // Copied: the scene never refers to a result list.
    void setRepeat(const Repeat* repeat, std::span<const RepeatPair> pairs);
    [[nodiscard]] const std::optional<Repeat>& repeat() const { return repeat_; }
    [[nodiscard]] std::span<const RepeatPair> pairs() const { return pairs_; }
    // The approximate pairs, drawn under the selected repeat.
    void setBands(std::vector<MapBand> bands) { bands_ = std::move(bands); }
    [[nodiscard]] const std::vector<MapBand>& bands() const { return bands_; }

    // What the map for a paper writes in the circle's middle: the genome's
    // name (its length is written beneath), and its GC rings.
    void setTitle(std::string title) { title_ = std::move(title); }
    [[nodiscard]] const std::string& title() const { return title_; }
    void setProfile(GcProfile profile) { profile_ = std::move(profile); }
    [[nodiscard]] const GcProfile& profile() const { return profile_; }
    // The microsatellites drawn as ticks on their ring; none by default.
    void setMicrosatellites(std::vector<MapStretch> stretches) { microsatellites_ = std::move(stretches); }
    [[nodiscard]] const std::vector<MapStretch>& microsatellites() const { return microsatellites_; }
    // The tandem arrays drawn as ticks on their ring, and the one selected
    // (an index into them); none by default.
    void setTandemArrays(std::vector<MapStretch> stretches)
    {
        tandemArrays_ = std::move(stretches);
        selectedTandem_.reset();
    }
    [[nodiscard]] const std::vector<MapStretch>& tandemArrays() const { return tandemArrays_; }
    void selectTandemArray(std::optional<std::size_t> index)
    {
        selectedTandem_ = index && *index < tandemArrays_.size() ? index : std::nullopt;
    }
    [[nodiscard]] std::optional<std::size_t> selectedTandemArray() const { return selectedTandem_; }

    // The plastome's four parts, drawn as a ring by the map for a paper when found.
    void setPlastome(std::optional<PlastomeStructure> structure) { plastome_ = std::move(structure); }
    [[nodiscard]] const std::optional<PlastomeStructure>& plastome() const { return plastome_; }

    // A stretch marked on the ring (a part of the plastome chosen elsewhere); none by default.
    void setMarked(std::optional<MapStretch> stretch) { marked_ = stretch; }
    [[nodiscard]] const std::optional<MapStretch>& marked() const { return marked_; }

    // What is drawn; the pairs and bands of a layer that is off are kept, not drawn.
    void setLayers(const MapLayers& layers) { layers_ = layers; }
    [[nodiscard]] const MapLayers& layers() const { return layers_; }
    // The bands the layers show.
    [[nodiscard]] std::vector<MapBand> shownBands() const;
    // The kind of the selected repeat, when known.
    void setRepeatKind(std::optional<RepeatKind> kind) { repeatKind_ = kind; }
    // Whether there is a selected repeat and the layers show it.
    [[nodiscard]] bool showsRepeat() const;

    // The feature whose arc is drawn at `point` (the last drawn when several),
    // as an index into features().
    [[nodiscard]] std::optional<std::size_t> featureAt(MapPointF point) const;
    // The pair of the selected repeat whose dots, chord, arcs or band lie at `point`.
    [[nodiscard]] std::optional<std::size_t> pairAt(MapPointF point) const;
    // The tandem array whose tick (or, selected, whose arc along the ring)
    // lies at `point`, the nearest when several are within reach, as an index
    // into tandemArrays(); none while their layer is off.
    [[nodiscard]] std::optional<std::size_t> tandemArrayAt(MapPointF point) const;

private:
    FeatureList features_;
    std::int32_t sequenceEnd_ = 0;
    double perBase_ = 0.0;
    std::string warning_;
    std::string title_;
    GcProfile profile_;
    std::optional<Repeat> repeat_;
    std::vector<RepeatPair> pairs_;
    std::vector<MapBand> bands_;
    std::vector<MapStretch> microsatellites_;
    std::vector<MapStretch> tandemArrays_;
    std::optional<std::size_t> selectedTandem_;
    MapLayers layers_;
    std::optional<PlastomeStructure> plastome_;
    std::optional<MapStretch> marked_;
    std::optional<RepeatKind> repeatKind_;
};

}  // namespace tessaron
