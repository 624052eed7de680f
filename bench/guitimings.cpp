// Times the desktop program's window on a large GenBank file, offscreen:
// from the open command to the window painting again and to the results in
// the tree, from "View Results" > direct repeats to the sheet on screen, and
// optionally the CSV export of that sheet. Run under /usr/bin/time -v for the
// peak memory:
//   QT_QPA_PLATFORM=offscreen tessaron_guitimings FILE.gb [OUT.csv]

#include "views/base/jobstatus.h"
#include "views/results/repeattreemodel.h"
#include "views/sheets/listingmodel.h"
#include "views/sheets/reportsheetdlg.h"
#include "views/sheets/sheetview.h"
#include "views/shell/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>

namespace {

// The time of the first paint a widget gets after start().
struct PaintWatch : QObject {
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && painted < 0) {
            painted = clock.nsecsElapsed();
        }
        return false;
    }
    void start()
    {
        painted = -1;
        clock.start();
    }
    QElapsedTimer clock;
    qint64 painted = -1;
};

double ms(qint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: tessaron_guitimings FILE.gb [OUT.csv]\n");
        return 2;
    }
    CTessaronDlg window;
    window.resize(1000, 620);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }

    // The open command returns at once; a ticking timer tells how long the
    // window ever went without its event loop while the job ran.
    // The progress bar appears as the job starts: its first paint is the window's.
    PaintWatch paints(window.findChild<QProgressBar*>(QStringLiteral("progressBar")));
    qint64 longestGap = 0;
    qint64 longestGapEnd = 0;
    qint64 lastTick = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = paints.clock.nsecsElapsed();
        if (now - lastTick > longestGap) {
            longestGap = now - lastTick;
            longestGapEnd = now;
        }
        lastTick = now;
    });
    paints.start();
    ticker.start(10);
    window.openFile(arguments.at(1));
    const qint64 returned = paints.clock.nsecsElapsed();
    while (paints.painted < 0) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    const qint64 painted = paints.painted;
    JobStatus& jobs = *window.findChild<JobStatus*>();
    jobs.waitForIdle(JobRunner::kNoTimeLimit);
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("tree"));
    tree->viewport()->repaint();
    const qint64 results = paints.clock.nsecsElapsed();
    ticker.stop();
    std::printf(
        "open: command returned after %.1f ms, window painted after %.1f ms, results in the tree after "
        "%.0f ms (%d kinds); longest gap between 10 ms ticks %.1f ms, ending at %.0f ms\n",
        ms(returned), ms(painted), ms(results), tree->model()->rowCount(), ms(longestGap), ms(longestGapEnd));

    // The same file again: the new results replace the previous ones, which go.
    if (qEnvironmentVariableIsSet("TESSARON_TIMINGS_REOPEN")) {
        longestGap = 0;
        paints.start();
        lastTick = 0;
        ticker.start(10);
        window.openFile(arguments.at(1));
        jobs.waitForIdle(JobRunner::kNoTimeLimit);
        ticker.stop();
        std::printf(
            "open again: results after %.0f ms; longest gap between 10 ms ticks %.1f ms, ending at %.0f ms\n",
            ms(paints.clock.nsecsElapsed()), ms(longestGap), ms(longestGapEnd));
    }

    {
        QElapsedTimer step;
        step.start();
        window.ShowSequence();
        std::printf("putting the sequence into the pane again: %.1f ms\n", ms(step.nsecsElapsed()));
    }

    {
        QElapsedTimer step;
        step.start();
        const ListingModel listing(window.session().snapshot(tessaron::RepeatKind::Direct));
        std::printf("laying out the rows of the direct listing (%d rows): %.1f ms\n", listing.usedRows(),
                    ms(step.nsecsElapsed()));
    }

    // "View Results" > direct repeats: the time until the sheet has painted
    // its first rows. The sheet is a window of its own, shown by the command.
    const QString csv = arguments.size() > 2 ? arguments.at(2) : QString();
    QElapsedTimer clock;
    clock.start();
    window.command(CTessaronDlg::IdViewDirect)->trigger();
    const QList<CReportSheetDlg*> sheets = window.findChildren<CReportSheetDlg*>();
    CReportSheetDlg* sheet = sheets.isEmpty() ? nullptr : sheets.back();
    if (sheet == nullptr || !QTest::qWaitForWindowExposed(sheet)) {
        std::fprintf(stderr, "the direct listing did not open\n");
        return 1;
    }
    sheet->sheet()->viewport()->repaint();
    const qint64 sheetShown = clock.nsecsElapsed();
    const int sheetRows = sheet->sheet()->usedRows();
    qint64 csvTime = -1;
    if (!csv.isEmpty()) {
        sheet->sheet()->setFileChooser([csv](QWidget*, const QString&, const QString&) { return csv; });
        QElapsedTimer saving;
        saving.start();
        sheet->sheet()->saveAsCsv();
        sheet->sheet()->waitForExport(JobRunner::kNoTimeLimit);
        csvTime = saving.nsecsElapsed();
    }
    sheet->close();
    std::printf("view results > direct repeats: sheet of %d rows painted after %.1f ms\n", sheetRows,
                ms(sheetShown));
    if (csvTime >= 0) {
        std::printf("CSV of the direct listing written in %.0f ms\n", ms(csvTime));
    }
    return 0;
}
