// The circular map: pixels of an offscreen render of the human mitochondrion
// where the layout fixes them, and the map window as the main window opens,
// updates and closes it.

#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "filesizelimit.h"
#include "input/genbankreader.h"
#include "mapgeometry/diagramgeometry.h"
#include "mapimage/diagrampainter.h"
#include "mapimage/dotplotpainter.h"
#include "views/dialogs/optionsdlg.h"
#include "views/maps/mapwindow.h"
#include "views/maps/saveimagedlg.h"
#include "views/results/repeattreemodel.h"
#include "whenmodal.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

using namespace tessaron;

namespace {

const QColor kGreen(0, 208, 0);
const QColor kRed(224, 0, 0);
const QColor kField(246, 246, 236);
const QColor kRing(229, 226, 207);

QColor pixel(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

int countInBox(const QImage& image, MapPoint centre, const QColor& color)
{
    int count = 0;
    for (int y = centre.y - 5; y <= centre.y + 5; ++y) {
        for (int x = centre.x - 5; x <= centre.x + 5; ++x) {
            count += pixel(image, x, y) == color ? 1 : 0;
        }
    }
    return count;
}

int countAll(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += pixel(image, x, y) == color ? 1 : 0;
        }
    }
    return count;
}

// The mitochondrion read, indexed and searched once for every test here.
struct Mito {
    std::shared_ptr<Genome> genome = std::make_shared<Genome>();
    FeatureList features;
    std::unique_ptr<RepeatList> direct;
    std::unique_ptr<RepeatList> inverted;
};

const Mito& mito()
{
    static const std::unique_ptr<Mito> loaded = [] {
        auto m = std::make_unique<Mito>();
        auto features = readGenBank(kMitoFile.toStdString(), *m->genome, 8, 12);
        EXPECT_TRUE(features.has_value());
        if (features) {
            m->features = std::move(*features);
        }
        const auto index =
            std::get<std::shared_ptr<const tessaron::SuffixIndex>>(tessaron::buildIndex(m->genome));
        m->direct = index->findDirectRepeats();
        m->inverted = index->findRepeats(RepeatKind::Inverted);
        return m;
    }();
    return *loaded;
}

// A repeat of the list with at least `pairs` pairs whose copies all lie away
// from position 0 and from each other, so that dots and chords can be told
// apart from the scale's first tick.
const Repeat* clearRepeat(const RepeatList& list, int pairs)
{
    const std::int32_t end = mapSequenceEnd(mito().features);
    const auto clear = [end](std::int32_t position) { return position > 1000 && position < end - 1000; };
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        for (const Repeat& repeat : list.slot(slot)) {
            if (repeat.pairCount < pairs) {
                continue;
            }
            bool ok = true;
            for (const RepeatPair& pair : list.pairs(repeat)) {
                ok =
                    ok && clear(pair.first) && clear(pair.second) && std::abs(pair.first - pair.second) > 500;
            }
            if (ok) {
                return &repeat;
            }
        }
    }
    return nullptr;
}

TEST(DiagramPaint, MitochondrionWithAnInvertedRepeat)
{
    const Mito& m = mito();
    ASSERT_GT(m.features.size(), 30U);
    ASSERT_EQ(mapSequenceEnd(m.features), 16568);
    const Repeat* repeat = clearRepeat(*m.inverted, 1);
    ASSERT_NE(repeat, nullptr);
    const auto pairs = m.inverted->pairs(*repeat);
    const QImage image = renderDiagram(m.features, repeat, pairs);
    ASSERT_EQ(image.size(), QSize(600, 460));

    // The legend's four solid bars.
    EXPECT_EQ(pixel(image, 10, 7), QColor(0, 0, 234));
    EXPECT_EQ(pixel(image, 10, 17), QColor(96, 96, 255));
    EXPECT_EQ(pixel(image, 10, 27), QColor(234, 0, 0));
    EXPECT_EQ(pixel(image, 10, 37), QColor(255, 96, 96));
    EXPECT_EQ(pixel(image, 5, 45), kField);

    // The 2 x 2 tick of position 0 around (301, 64), and the 1K tick at (362, 75).
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{300, 63}, {301, 63}, {300, 64}, {301, 64}}) {
        EXPECT_EQ(pixel(image, x, y), QColor(Qt::black)) << x << "," << y;
    }
    EXPECT_NE(pixel(image, 302, 64), QColor(Qt::black));
    EXPECT_NE(pixel(image, 301, 65), QColor(Qt::black));
    EXPECT_EQ(pixel(image, 361, 74), QColor(Qt::black));
    EXPECT_EQ(pixel(image, 362, 75), QColor(Qt::black));

    // A long gene on the plus strand shows its colour on the track.
    const double perBase = radiansPerBase(m.features);
    int checked = 0;
    for (std::size_t i = 1; i < m.features.size() && checked < 3; ++i) {
        const Feature& feature = m.features[i];
        if (feature.end - feature.start < 600) {
            continue;
        }
        const std::int32_t centre = (feature.start + feature.end) / 2;
        const MapPoint middle = mapPoint(perBase, centre, kTrackRadius, 0);
        // Later features are drawn over it (a gene and its CDS share a stretch).
        const bool coveredLater =
            std::any_of(m.features.begin() + static_cast<std::ptrdiff_t>(i) + 1, m.features.end(),
                        [centre](const Feature& later) {
                            return later.start - 100 <= centre && centre <= later.end + 100;
                        });
        if (feature.color == kColorGeneDirect && !coveredLater) {
            EXPECT_EQ(pixel(image, middle.x, middle.y), QColor(234, 0, 0)) << feature.name;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);

    // Green dots at the first copies, red at the second ones.
    for (const RepeatPair& pair : pairs) {
        EXPECT_GE(countInBox(image, mapPoint(perBase, pair.first, kScaleRadius, 0), kGreen), 30);
        EXPECT_GE(countInBox(image, mapPoint(perBase, pair.second, kScaleRadius, 0), kRed), 30);
    }
    // The centre is the plain field.
    EXPECT_EQ(pixel(image, 300, 300), kField);
}

TEST(DiagramPaint, DirectRepeatDotsAreAllGreen)
{
    const Mito& m = mito();
    const Repeat* repeat = clearRepeat(*m.direct, 2);
    ASSERT_NE(repeat, nullptr);
    const auto pairs = m.direct->pairs(*repeat);
    const QImage image = renderDiagram(m.features, repeat, pairs);
    EXPECT_EQ(countAll(image, kRed), 0);
    const double perBase = radiansPerBase(m.features);
    for (const RepeatPair& pair : pairs) {
        EXPECT_GE(countInBox(image, mapPoint(perBase, pair.second, kScaleRadius, 0), kGreen), 30);
    }
    // The chords are dotted grey.
    EXPECT_GT(countAll(image, QColor(128, 128, 128)), 20);
}

// The copies take the colours of the style's scheme, whatever was painted
// before: each scheme in turn, the program's own again last, on the standard
// map and the map for a paper (whose legend names the copies too).
TEST(DiagramPaint, CopiesTakeTheColoursOfTheStyle)
{
    const Mito& m = mito();
    const Repeat* repeat = clearRepeat(*m.inverted, 1);
    ASSERT_NE(repeat, nullptr);
    const auto pairs = m.inverted->pairs(*repeat);
    MapScene scene(m.features, 0);
    scene.setRepeat(repeat, pairs);
    const double perBase = radiansPerBase(m.features);
    const auto colorOf = [](std::uint32_t bbggrr) {
        return QColor(static_cast<int>(bbggrr & 0xFFU), static_cast<int>((bbggrr >> 8U) & 0xFFU),
                      static_cast<int>((bbggrr >> 16U) & 0xFFU));
    };
    for (const tessaron::ColourScheme& colours :
         {tessaron::kStandardColours, tessaron::kColourBlindSafeColours, tessaron::kStandardColours}) {
        const ColourScheme& other = colours == tessaron::kStandardColours ? tessaron::kColourBlindSafeColours
                                                                          : tessaron::kStandardColours;
        DiagramStyle style;
        style.colours = colours;
        const QImage image = renderDiagram(scene, style);
        for (const RepeatPair& pair : pairs) {
            EXPECT_GE(
                countInBox(image, mapPoint(perBase, pair.first, kScaleRadius, 0), colorOf(colours.firstCopy)),
                30);
            EXPECT_GE(countInBox(image, mapPoint(perBase, pair.second, kScaleRadius, 0),
                                 colorOf(colours.secondCopy)),
                      30);
        }
        EXPECT_EQ(countAll(image, colorOf(other.firstCopy)), 0);
        EXPECT_EQ(countAll(image, colorOf(other.secondCopy)), 0);

        style.look = MapLook::Paper;
        const QImage paper = renderDiagram(scene, style);
        EXPECT_GT(countAll(paper, colorOf(colours.firstCopy)), 0);
        EXPECT_GT(countAll(paper, colorOf(colours.secondCopy)), 0);
        EXPECT_EQ(countAll(paper, colorOf(other.secondCopy)), 0);
    }
}

TEST(DiagramPaint, NoRepeatNoDots)
{
    const QImage image = renderDiagram(mito().features, nullptr, {});
    EXPECT_EQ(countAll(image, kGreen), 0);
    EXPECT_EQ(countAll(image, kRed), 0);
    EXPECT_EQ(countAll(image, QColor(128, 128, 128)), 0);
}

TEST(DiagramPaint, OnlyTheWholeSequenceShowsTheRing)
{
    const FeatureList whole{{0, 800, "sequence", kColorSequence}};
    const QImage image = renderDiagram(whole, nullptr, {});
    // The ring under the arcs, 167 to 182 from (298.5, 228.5), and no arcs on it.
    EXPECT_EQ(pixel(image, 298, 54), kRing);
    EXPECT_EQ(pixel(image, 473, 228), kRing);
    EXPECT_EQ(pixel(image, 298, 40), kField);
    EXPECT_EQ(pixel(image, 300, 230), kField);
    EXPECT_EQ(countAll(image, QColor(234, 0, 0)) > 0, true);  // the legend only
    EXPECT_EQ(countAll(image, QColor(Qt::black)), 4);         // one tick
}

TEST(DiagramPaint, OneBaseFeatureIsAMarkNotTheWholeCircle)
{
    const FeatureList list{{0, 16568, "sequence", kColorSequence}, {5000, 5000, "dot", kColorGeneComplement}};
    const QImage image = renderDiagram(list, nullptr, {});
    const double perBase = radiansPerBase(list);
    for (const std::int32_t position : {0, 4000, 8000, 12000, 15000}) {
        const MapPoint on = mapPoint(perBase, position, kTrackRadius, 0);
        EXPECT_NE(pixel(image, on.x, on.y), QColor(255, 96, 96)) << position;
    }
    const MapPoint dot = mapPoint(perBase, 5000, kTrackRadius, 0);
    int marked = 0;
    for (int dx = -2; dx <= 2; ++dx) {
        for (int dy = -2; dy <= 2; ++dy) {
            marked += pixel(image, dot.x + dx, dot.y + dy) == QColor(255, 96, 96) ? 1 : 0;
        }
    }
    EXPECT_GT(marked, 0);
}

TEST(DiagramPaint, UnknownColoursKeepTheCurrentPen)
{
    // The first feature of an unknown colour takes the RNA plus pen; a later
    // one the black pen of the previous feature's label line.
    const FeatureList list{{0, 16568, "sequence", kColorSequence},
                           {1000, 3000, "first", 0x123456},
                           {5000, 7000, "gene", kColorGeneDirect},
                           {9000, 11000, "later", 0x654321}};
    const QImage image = renderDiagram(list, nullptr, {});
    const double perBase = radiansPerBase(list);
    const MapPoint first = mapPoint(perBase, 2000, kTrackRadius, 0);
    const MapPoint gene = mapPoint(perBase, 6000, kTrackRadius, 0);
    const MapPoint later = mapPoint(perBase, 10000, kTrackRadius, 0);
    EXPECT_EQ(pixel(image, first.x, first.y), QColor(0, 0, 234));
    EXPECT_EQ(pixel(image, gene.x, gene.y), QColor(234, 0, 0));
    EXPECT_EQ(countInBox(image, later, QColor(Qt::black)), 11);  // a one pixel line across the box
}

TEST(DiagramPaint, SavesPngAndSvg)
{
    QTemporaryDir folder;
    const QString png = folder.filePath(QStringLiteral("map.png"));
    const QString svg = folder.filePath(QStringLiteral("map.SVG"));
    ASSERT_TRUE(saveDiagram(png, mito().features, nullptr, {}));
    ASSERT_TRUE(saveDiagram(svg, mito().features, nullptr, {}));
    EXPECT_EQ(QImage(png).size(), QSize(600, 460));
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("<svg"));
    EXPECT_TRUE(text.contains("tRNA + strand"));
    EXPECT_FALSE(
        saveDiagram(folder.filePath(QStringLiteral("missing/map.png")), mito().features, nullptr, {}));
}

TEST(DiagramPaint, AFailedSaveLeavesTheEarlierFileWholeAndNothingBeside)
{
    const auto bytesOf = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const QString& name : {QStringLiteral("map.png"), QStringLiteral("map.svg")}) {
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        ASSERT_TRUE(saveDiagram(path, mito().features, nullptr, {}));
        const QByteArray before = bytesOf(path);
        ASSERT_GT(before.size(), 1000);
        {
            const FileSizeLimit full(1000);
            EXPECT_FALSE(saveDiagram(path, mito().features, nullptr, {}));
        }
        EXPECT_EQ(bytesOf(path), before);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{name});
    }
}

// The map of the mitochondrion with its first inverted repeat of 9 bases,
// drawn at its own size before the window could be resized.
QImage ownSizeReference()
{
    return QImage(QStringLiteral(TESSARON_VIEWS_DATA "/map-600x460.png"))
        .convertToFormat(QImage::Format_RGB32);
}

// Pixel for pixel, but for the legend's words, which say now what is drawn.
void expectSameOutsideTheLegendWords(const QImage& image, const QImage& reference)
{
    ASSERT_EQ(image.size(), reference.size());
    const QRect words(16, 0, 120, 46);
    int differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            differing += !words.contains(x, y) && image.pixel(x, y) != reference.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(DiagramPaint, OwnSizeIsTheDrawingAsBefore)
{
    const Mito& m = mito();
    const auto& words = m.inverted->slot(9 - m.inverted->minLength());
    ASSERT_FALSE(words.empty());
    // The record's 16,569 bases, as its source feature says.
    MapScene scene(m.features, 16569);
    scene.setRepeat(&words[0], m.inverted->pairs(words[0]));
    expectSameOutsideTheLegendWords(renderDiagram(scene), ownSizeReference());
}

TEST(DiagramPaint, NamesAreSetApartWhereTooManyToStagger)
{
    EXPECT_FALSE(namesSetApart(MapScene(mito().features, 16569), {}));
    Genome genome;
    const auto chloroplast = readGenBank(TESSARON_TEST_DATA "/NC_000932.gb", genome, 8, 12);
    ASSERT_TRUE(chloroplast.has_value());
    const MapScene scene(*chloroplast, genome.length());
    EXPECT_TRUE(namesSetApart(scene, {}));
    EXPECT_FALSE(namesSetApart(scene, {MapLook::Standard, LabelLayout::Staggered, false}));
}

TEST(DiagramPaint, ALongRepeatIsABandBetweenTwoArcs)
{
    const Mito& m = mito();
    const Repeat repeat{true, 1500, 1, 0};
    const std::vector<RepeatPair> pairs{{2000, 9000}};
    MapScene scene(m.features, m.genome->length());
    scene.setRepeat(&repeat, pairs);
    const QImage image = renderDiagram(scene);
    const double perBase = scene.perBase();
    const auto at = [&](std::int32_t position, int radius) {
        const MapPoint point = mapPoint(perBase, position, radius, 0);
        return pixel(image, point.x, point.y);
    };
    // Arcs over the copies: green for the first, red for the second.
    EXPECT_EQ(at(2750, kScaleRadius), kGreen);
    EXPECT_EQ(at(9750, kScaleRadius), kRed);
    // The translucent band between them, greener near the first copy.
    const QColor nearFirst = at(2750, 140);
    const QColor nearSecond = at(9750, 140);
    EXPECT_NE(nearFirst, kField);
    EXPECT_GT(nearFirst.green(), nearFirst.red());
    EXPECT_GT(nearSecond.red(), nearSecond.green());
    // Beside the band the field stays plain, and there are no dotted chords.
    EXPECT_EQ(at(6250, 140), kField);
    EXPECT_EQ(countAll(image, QColor(128, 128, 128)), 0);
}

class DiagramWindowTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window_ = makeWindow();
    }
    void TearDown() override { window_.reset(); }

    void trigger(int id) const { WindowFixture::trigger(*window_, id); }
    void openMito()
    {
        open(*window_, CTessaronDlg::IdOpenGenBank, kMitoFile);
        ASSERT_TRUE(window_->session().features().has_value());
    }
    void select(const QModelIndex& index) const { treeOf(*window_)->setCurrentIndex(index); }
    QModelIndex firstRepeat(RepeatKind kind) const
    {
        const tessaron::RepeatSnapshot* found = window_->session().snapshot(kind).get();
        for (int slot = 0; found != nullptr && slot < found->slotCount(); ++slot) {
            if (!found->words(slot).empty()) {
                return modelOf(*window_)->repeatIndex(kind, found->minLength() + slot, 0);
            }
        }
        return {};
    }
    int diagramCount() const { return static_cast<int>(window_->findChildren<CDiagramDlg*>().size()); }

    std::unique_ptr<CTessaronDlg> window_;
};

TEST_F(DiagramWindowTest, NothingLoaded)
{
    EXPECT_FALSE(window_->command(CTessaronDlg::IdDiagram)->isEnabled());
    window_->OnDiagram();
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].text, QStringLiteral("There is no loaded genome!"));
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_EQ(mapOf(*window_), nullptr);
    EXPECT_EQ(diagramCount(), 0);
}

TEST_F(DiagramWindowTest, OpensOnceAndFollowsTheTree)
{
    openMito();
    ASSERT_TRUE(window_->command(CTessaronDlg::IdDiagram)->isEnabled());

    const QModelIndex inverted = firstRepeat(RepeatKind::Inverted);
    ASSERT_TRUE(inverted.isValid());
    select(inverted);
    trigger(CTessaronDlg::IdDiagram);
    CDiagramDlg* diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    EXPECT_TRUE(diagram->isVisible());
    EXPECT_FALSE(diagram->isModal());
    EXPECT_EQ(diagram->size(), QSize(600, 460));
    ASSERT_TRUE(diagram->hasRepeat());
    ASSERT_NE(window_->session().highlights().selectedRepeat(), nullptr);
    const auto expected = modelOf(*window_)->pairsAt(inverted);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(
        std::equal(diagram->pairs().begin(), diagram->pairs().end(), expected.begin(), expected.end()));

    // The window paints what the painter draws.
    EXPECT_EQ(diagram->grab().toImage().convertToFormat(QImage::Format_RGB32), diagram->image());

    trigger(CTessaronDlg::IdDiagram);
    EXPECT_EQ(mapOf(*window_), diagram);
    EXPECT_EQ(diagramCount(), 1);

    const QModelIndex direct = firstRepeat(RepeatKind::Direct);
    select(direct);
    ASSERT_TRUE(diagram->hasRepeat());
    const auto directPairs = modelOf(*window_)->pairsAt(direct);
    EXPECT_TRUE(
        std::equal(diagram->pairs().begin(), diagram->pairs().end(), directPairs.begin(), directPairs.end()));

    // A kind item is not a repeat: the marks go.
    select(modelOf(*window_)->index(0, 0));
    EXPECT_FALSE(diagram->hasRepeat());
    EXPECT_EQ(countAll(diagram->image(), kGreen), 0);
}

TEST_F(DiagramWindowTest, ClosedByTheUserThenMadeAgain)
{
    openMito();
    trigger(CTessaronDlg::IdDiagram);
    QPointer<CDiagramDlg> first = mapOf(*window_);
    ASSERT_NE(first, nullptr);
    first->close();
    EXPECT_EQ(mapOf(*window_), nullptr);
    EXPECT_FALSE(first->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    trigger(CTessaronDlg::IdDiagram);
    EXPECT_NE(mapOf(*window_), nullptr);
    EXPECT_EQ(diagramCount(), 1);
}

TEST_F(DiagramWindowTest, EscapeClosesItLikeTheCloseBox)
{
    openMito();
    trigger(CTessaronDlg::IdDiagram);
    QPointer<CDiagramDlg> diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    QTest::keyClick(diagram.data(), Qt::Key_Escape);
    EXPECT_EQ(mapOf(*window_), nullptr);
    ASSERT_FALSE(diagram.isNull());
    EXPECT_FALSE(diagram->isVisible());
}

TEST_F(DiagramWindowTest, ANewLoadClosesIt)
{
    openMito();
    trigger(CTessaronDlg::IdDiagram);
    QPointer<CDiagramDlg> diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);

    open(*window_, CTessaronDlg::IdOpenText,
         writeFile(QStringLiteral("s.txt"), "ACGTACGTTTGACCAGTACGATCGATCGGATCGATCGA\n"));
    EXPECT_TRUE(diagram.isNull());
    EXPECT_EQ(mapOf(*window_), nullptr);
    EXPECT_FALSE(window_->command(CTessaronDlg::IdDiagram)->isEnabled());
}

TEST_F(DiagramWindowTest, NewLengthsCloseIt)
{
    openMito();
    trigger(CTessaronDlg::IdDiagram);
    QPointer<CDiagramDlg> diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    whenModal<COptionsDlg>([](COptionsDlg& dialog) {
        dialog.minimumField()->setText(QStringLiteral("9"));
        dialog.maximumField()->setText(QStringLiteral("12"));
        dialog.accept();
    });
    trigger(CTessaronDlg::IdOptions);
    EXPECT_TRUE(diagram.isNull());
    EXPECT_EQ(mapOf(*window_), nullptr);
    // The analysis ran again: the map can be opened anew.
    EXPECT_TRUE(window_->command(CTessaronDlg::IdDiagram)->isEnabled());
}

TEST_F(DiagramWindowTest, SavesTheImageFromItsMenu)
{
    openMito();
    select(firstRepeat(RepeatKind::Mirror));
    trigger(CTessaronDlg::IdDiagram);
    CDiagramDlg* diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    const QString png = folder_.filePath(QStringLiteral("map.png"));
    prompts_->files.push_back(png);
    const std::unique_ptr<QMenu> menu = diagram->contextMenu();
    ASSERT_EQ(menu->actions().size(), 6);  // with the Layers menu
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Save image..."));
    // The size dialog, answered with its first proposal: the map's own size.
    whenModal<CSaveImageDlg>([](CSaveImageDlg& dialog) {
        EXPECT_EQ(dialog.widthField()->value(), 600);
        EXPECT_EQ(dialog.heightField()->value(), 460);
        EXPECT_TRUE(dialog.keepShapeField()->isChecked());
        dialog.accept();
    });
    menu->actions().front()->trigger();
    const QImage saved(png);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), diagram->image());

    // Twice as large, smoothed: the height follows the width.
    const QString large = folder_.filePath(QStringLiteral("large.png"));
    prompts_->files.push_back(large);
    whenModal<CSaveImageDlg>([](CSaveImageDlg& dialog) {
        dialog.widthField()->setValue(1200);
        EXPECT_EQ(dialog.heightField()->value(), 920);
        dialog.antialiasField()->setChecked(true);
        dialog.accept();
    });
    EXPECT_TRUE(diagram->saveImage());
    EXPECT_EQ(QImage(large).size(), QSize(1200, 920));

    // Another shape: the map fits, centred, in a tall image.
    const QString tall = folder_.filePath(QStringLiteral("tall.png"));
    prompts_->files.push_back(tall);
    whenModal<CSaveImageDlg>([](CSaveImageDlg& dialog) {
        EXPECT_EQ(dialog.widthField()->value(), 1200);  // the last choice again
        dialog.keepShapeField()->setChecked(false);
        dialog.widthField()->setValue(600);
        dialog.heightField()->setValue(900);
        dialog.accept();
    });
    EXPECT_TRUE(diagram->saveImage());
    const QImage tallImage(tall);
    ASSERT_EQ(tallImage.size(), QSize(600, 900));
    EXPECT_EQ(tallImage.pixelColor(300, 20), kField);                      // above the map: room
    EXPECT_LT(tallImage.pixelColor(300, 450 - 230 + 63).lightness(), 60);  // the tick of position 0
    diagram->setImageOptionsChooser([](QWidget*, const MapImageOptions&, QSize) {
        return std::optional<MapImageOptions>(MapImageOptions{});
    });

    // Cancelled: nothing happens; unwritable: the user is told.
    EXPECT_FALSE(diagram->saveImage());
    prompts_->files.push_back(folder_.filePath(QStringLiteral("no/such/folder/map.svg")));
    EXPECT_FALSE(diagram->saveImage());
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("Tessaron"));

    // Off the window's thread: the file is there, whole, once the writing has ended.
    diagram->setInlineSaving(false);
    const QString later = folder_.filePath(QStringLiteral("later.png"));
    prompts_->files.push_back(later);
    EXPECT_TRUE(diagram->saveImage());
    ASSERT_TRUE(diagram->waitForSave(kWaitLimitMs));
    EXPECT_EQ(QImage(later).convertToFormat(QImage::Format_RGB32), diagram->image());
    EXPECT_EQ(prompts_->messages.size(), 1U);
}

TEST_F(DiagramWindowTest, AFastaGenomeHasAPlainRingOfItsOwn)
{
    open(*window_, CTessaronDlg::IdOpenText, QStringLiteral(TESSARON_TEST_DATA "/NC_012920.fasta"));
    ASSERT_EQ(window_->session().genome().length(), 16569);
    EXPECT_FALSE(window_->command(CTessaronDlg::IdDiagram)->isEnabled());  // GenBank only, as always
    ASSERT_TRUE(window_->command(CTessaronDlg::IdSequenceMap)->isEnabled());
    trigger(CTessaronDlg::IdSequenceMap);
    CDiagramDlg* diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    ASSERT_EQ(diagram->scene().features().size(), 1U);
    EXPECT_EQ(diagram->scene().sequenceEnd(), 16568);
    // The ring, its scale and the legend, as for a record without features.
    EXPECT_EQ(diagram->image().pixelColor(298, 54), kRing);
    diagram->setPaperStyle(true);
    EXPECT_EQ(diagram->image().pixelColor(2, 2), QColor(Qt::white));
}

TEST_F(DiagramWindowTest, ForAPaperFromItsMenuPrintedAndSavedAsPdf)
{
    openMito();
    trigger(CTessaronDlg::IdDiagram);
    CDiagramDlg* diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    EXPECT_FALSE(diagram->tidyLabels());  // a mitochondrion's names are staggered, as always
    const QImage standard = diagram->image();
    {
        const std::unique_ptr<QMenu> menu = diagram->contextMenu();
        QAction* paper = menu->findChild<QAction*>(QStringLiteral("paperStyle"));
        ASSERT_NE(paper, nullptr);
        EXPECT_EQ(paper->text(), QStringLiteral("For a paper"));
        paper->trigger();
    }
    ASSERT_TRUE(diagram->paperStyle());
    EXPECT_FALSE(diagram->contextMenu()->findChild<QAction*>(QStringLiteral("tidyLabels"))->isEnabled());
    const QImage paper = diagram->image();
    EXPECT_NE(paper.size(), standard.size());
    EXPECT_EQ(paper.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_FALSE(diagram->scene().profile().content.empty());  // the GC rings
    // The window shows the map for a paper, fitted.
    EXPECT_EQ(diagram->grab().toImage().pixelColor(2, 2), QColor(Qt::white));

    // Printed: into a PDF file here, as a print dialog would set it up.
    const QString printed = folder_.filePath(QStringLiteral("printed.pdf"));
    diagram->setPrinterChooser([&printed](QWidget*, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    });
    diagram->contextMenu()->findChild<QAction*>(QStringLiteral("printMap"))->trigger();
    QFile printedFile(printed);
    ASSERT_TRUE(printedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(printedFile.read(5), QByteArray("%PDF-"));
    diagram->setPrinterChooser([](QWidget*, QPrinter&) { return false; });
    EXPECT_FALSE(diagram->printMap());

    // Saved as PDF.
    diagram->setInlineSaving(true);
    diagram->setImageOptionsChooser([&paper](QWidget*, const MapImageOptions& proposed, QSize own) {
        EXPECT_EQ(proposed.width, 0);  // a size chosen for the standard map does not carry over
        EXPECT_EQ(own, paper.size());
        return std::optional<MapImageOptions>(proposed);
    });
    const QString pdf = folder_.filePath(QStringLiteral("map.pdf"));
    prompts_->files.push_back(pdf);
    EXPECT_TRUE(diagram->saveImage());
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdfFile.read(5), QByteArray("%PDF-"));

    // And back: the drawing as before.
    diagram->setPaperStyle(false);
    EXPECT_EQ(diagram->image(), standard);
}

TEST_F(DiagramWindowTest, LayersAreTurnedOffFromItsMenuAndRemembered)
{
    openMito();
    trigger(CTessaronDlg::IdDiagram);
    QPointer<CDiagramDlg> diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    diagram->setPaperStyle(true);
    const QImage all = diagram->image();
    {
        const std::unique_ptr<QMenu> menu = diagram->contextMenu();
        for (const char* name : {"layer_genes", "layer_gc", "layer_legend"}) {
            QAction* layer = menu->findChild<QAction*>(QString::fromLatin1(name));
            ASSERT_NE(layer, nullptr) << name;
            EXPECT_TRUE(layer->isChecked()) << name;
            layer->trigger();
        }
    }
    EXPECT_FALSE(diagram->layers().genes);
    EXPECT_FALSE(diagram->layers().gcRings);
    EXPECT_FALSE(diagram->layers().legend);
    EXPECT_TRUE(diagram->layers().approximate);
    const QImage bare = diagram->image();
    EXPECT_LT(bare.height(), all.height());  // no room kept for the legend
    EXPECT_EQ(stored(QStringLiteral("Tessaron/window/hiddenmaplayers")).toString(),
              QStringLiteral("genes,gc,legend"));

    // The next map starts with them off; turned back on, it is drawn as before.
    diagram->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(diagram.isNull());
    trigger(CTessaronDlg::IdDiagram);
    diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    EXPECT_FALSE(diagram->layers().genes);
    diagram->setPaperStyle(true);
    {
        const std::unique_ptr<QMenu> menu = diagram->contextMenu();
        for (const char* name : {"layer_genes", "layer_gc", "layer_legend"}) {
            QAction* layer = menu->findChild<QAction*>(QString::fromLatin1(name));
            ASSERT_NE(layer, nullptr) << name;
            EXPECT_FALSE(layer->isChecked()) << name;
            layer->trigger();
        }
    }
    EXPECT_EQ(diagram->layers(), tessaron::MapLayers{});
    EXPECT_EQ(diagram->image(), all);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/window/hiddenmaplayers")).toString(), QString());
}

TEST_F(DiagramWindowTest, ResizesZoomsAndIsTheDrawingAsBeforeAtItsOwnSize)
{
    openMito();
    select(modelOf(*window_)->repeatIndex(RepeatKind::Inverted, 9, 0));
    trigger(CTessaronDlg::IdDiagram);
    CDiagramDlg* diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    const auto grabbed = [diagram] {
        return diagram->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    // What the map draws at its own size (the drawing as before, see above).
    const QImage ownSize = diagram->image();
    EXPECT_EQ(grabbed(), ownSize);

    // Half as large again: the map fills the window, the tick of position 0 moves with it.
    diagram->resize(900, 690);
    const QImage large = grabbed();
    ASSERT_EQ(large.size(), QSize(900, 690));
    EXPECT_LT(large.pixelColor(451, 95).lightness(), 60);
    EXPECT_EQ(large.pixelColor(450, 450), kField);

    diagram->resize(600, 460);
    diagram->zoomAt(QPointF(100, 100), 3.0);
    EXPECT_NE(grabbed(), diagram->image());
    QTest::mouseDClick(diagram, Qt::LeftButton, {}, QPoint(300, 230));
    EXPECT_EQ(diagram->zoom(), 1.0);
    EXPECT_EQ(grabbed(), ownSize);
}

TEST_F(DiagramWindowTest, AClickOnAChordTellsTheMainWindowAndTooltipsNameWhatIsThere)
{
    openMito();
    const QModelIndex inverted = firstRepeat(RepeatKind::Inverted);
    select(inverted);
    trigger(CTessaronDlg::IdDiagram);
    CDiagramDlg* diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    const QSignalSpy clicked(diagram, &CDiagramDlg::repeatClicked);
    ASSERT_FALSE(diagram->pairs().empty());
    const RepeatPair pair = diagram->pairs().front();
    const double perBase = diagram->scene().perBase();
    const MapPoint a = mapPoint(perBase, pair.first, kScaleRadius, 0);
    const MapPoint b = mapPoint(perBase, pair.second, kScaleRadius, 0);
    // The chord's middle, found through the zoom.
    diagram->zoomAt(QPointF(300, 230), 1.5);
    const QPoint chord =
        diagram->viewTransform().map(QPointF((a.x + b.x) / 2.0, (a.y + b.y) / 2.0)).toPoint();
    QTest::mouseClick(diagram, Qt::LeftButton, {}, chord);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 0);
    EXPECT_EQ(treeOf(*window_)->currentIndex(), inverted);

    const QString tip = diagram->toolTipAt(chord);
    const int length = diagram->scene().repeat()->length;
    EXPECT_TRUE(tip.startsWith(QString::fromStdString(window_->session().genome().word(pair.first, length))))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("inverted repeat of %1 bases").arg(length))) << tip.toStdString();

    // Nothing there: no tip, and a click tells nothing.
    EXPECT_TRUE(diagram->toolTipAt(QPointF(5, 455)).isEmpty());
    QTest::mouseClick(diagram, Qt::LeftButton, {}, QPoint(5, 455));
    EXPECT_EQ(clicked.count(), 1);

    // A feature: its name, kind, strand and range.
    diagram->resetView();
    const MapPoint nd1 = mapPoint(perBase, 3800, kTrackRadius, 0);
    EXPECT_EQ(diagram->toolTipAt(QPointF(nd1.x, nd1.y)), QStringLiteral("ND1\ngene, + strand\n3,307..4,262"));
}

TEST_F(DiagramWindowTest, ASourceLengthThatDisagreesIsToldInTheStatusLine)
{
    // 600 bases read, but a source of 2,147,483,647 and a gene past the end.
    std::string record =
        "LOCUS       SHORT   600 bp    DNA     circular\nSOURCE      test\n"
        "FEATURES             Location/Qualifiers\n"
        "     source          1..2147483647\n     gene            100..300\n"
        "                     /gene=\"abc\"\n     gene            500..900000\n"
        "                     /gene=\"past\"\nORIGIN\n";
    for (int line = 0; line < 10; ++line) {
        const std::string start = std::to_string(line * 60 + 1);
        record += std::string(9 - start.size(), ' ') + start +
                  " acgtacgtta ccggttaacg tatacgcgat gcatgcaatt ggccaatacg gtacgtacca\n";
    }
    record += "//\n";
    const QString file = folder_.filePath(QStringLiteral("short.gb"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(record.c_str());
    out.close();
    prompts_->files.push_back(file);
    trigger(CTessaronDlg::IdOpenGenBank);
    ASSERT_TRUE(window_->session().features().has_value());
    trigger(CTessaronDlg::IdDiagram);
    CDiagramDlg* diagram = mapOf(*window_);
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(diagram->scene().sequenceEnd(), 599);
    EXPECT_EQ(diagram->scene().features().back().end, 599);  // "past" is clipped
    EXPECT_FALSE(diagram->lengthWarning().isEmpty());
    EXPECT_EQ(statusLineOf(*window_)->text(), diagram->lengthWarning());
}

}  // namespace

// A zoomed dot plot saved as SVG keeps its segments inside the plot's square,
// as the PNG does: no colour runs over the frame, the positions or the title.
TEST(DotPlotPaint, ZoomedSvgKeepsTheSegmentsInsideTheSquare)
{
    tessaron::DotPlotPicture picture;
    picture.title = QStringLiteral("zoomed");
    picture.view = tessaron::DotPlotView(10000);
    // Long segments of every kind that run far past a view of the middle.
    std::size_t pair = 0;
    for (const RepeatKind kind : tessaron::kKindOrder) {
        const double shift = 500.0 * static_cast<double>(pair);
        picture.segments.push_back({{0, shift}, {9999 - shift, 9999}, kind, pair});
        picture.segments.push_back({{shift, 9999}, {9999, shift}, kind, pair});
        ++pair;
    }
    picture.selected = std::pair{RepeatKind::Inverted, std::size_t{1}};
    constexpr int kSide = 400;
    const QRectF square = tessaron::dotPlotSquare(QSizeF(kSide, kSide));
    picture.view.zoomAt({square.width() / 2, square.height() / 2}, 6.0, square.width());

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const QString& name : {QStringLiteral("plot.svg"), QStringLiteral("plot.png")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = folder.filePath(name);
        ASSERT_TRUE(tessaron::saveDotPlot(path, picture, kSide));
        QImage image(kSide, kSide, QImage::Format_RGB32);
        if (name.endsWith(QStringLiteral(".svg"))) {
            image.fill(Qt::white);
            QSvgRenderer svg(path);
            ASSERT_TRUE(svg.isValid());
            QPainter painter(&image);
            svg.render(&painter);
        } else {
            ASSERT_TRUE(image.load(path));
            image = image.convertToFormat(QImage::Format_RGB32);
        }
        // Outside the square (a pixel's margin for its frame) and above the
        // legend, only greys: the title, positions and ticks.
        const QRect inside = square.toAlignedRect().adjusted(-1, -1, 1, 1);
        const int legendTop = static_cast<int>(square.bottom()) + 22;
        int coloured = 0;
        for (int y = 0; y < legendTop; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (!inside.contains(x, y) && pixel.hsvSaturation() > 60 && pixel.value() > 40) {
                    ++coloured;
                }
            }
        }
        EXPECT_EQ(coloured, 0);
        // The segments are there inside.
        int drawn = 0;
        for (int y = inside.top() + 2; y < inside.bottom() - 2; ++y) {
            for (int x = inside.left() + 2; x < inside.right() - 2; ++x) {
                drawn += image.pixelColor(x, y).hsvSaturation() > 60 ? 1 : 0;
            }
        }
        EXPECT_GT(drawn, 100);
    }
}
