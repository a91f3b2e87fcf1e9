// Painting one cell of the 181×181 map with all seven layers drawn: a click
// with the cursor box, as the mouse gives it, until the picture box has
// painted the changed cell on the screen.
#include "bench_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void Click(QWidget* w)
{
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

void PaintCell(benchmark::State& state)
{
    const int side = int(state.range(0));
    tilesmith::Main& m = benchfx::main();
    tilesmith::Module1& M = benchfx::data();
    if (!m.OpenMapFile(benchfx::MapFile(side, true))) {
        state.SkipWithError("open failed");
        return;
    }
    // The view in the middle of the map; a one-tile brush on layer 2.
    const int mid = side / 2 * 32;
    m.HScroll1->setValue(mid - 256);
    m.VScroll1->setValue(mid - 256);
    M.EditLay = 2;
    M.LargeMode = false;
    M.SpinnerMode = 0;
    M.BrushWidth = M.BrushHeight = M.StepX = M.StepY = 32;
    QApplication::processEvents();
    PaintCounter counter;
    m.Picture1->installEventFilter(&counter);
    benchfx::ResetPeak();
    int n = 0;
    for (auto _ : state) {
        // Two tiles in turn, so that every click changes the picture.
        const int sx = (n++ % 2) * 32;
        state.PauseTiming();
        M.BrushX = sx;
        M.BrushY = 96;
        M.BrushSheet = 1;
        m.MainPic->pic().setPicture(m.ReTempPic[1].snapshot().copy(sx, 96, 32, 32));
        m.MainPic->move(mid, mid);
        const int before = counter.paints;
        state.ResumeTiming();
        Click(m.MainPic);
        for (int i = 0; i < 100 && counter.paints == before; ++i)
            QApplication::processEvents();
        if (counter.paints == before)
            state.SkipWithError("the picture box did not paint");
    }
    m.Picture1->removeEventFilter(&counter);
    state.counters["peak_MiB"] = benchfx::PeakMiB();
}

BENCHMARK(PaintCell)->ArgName("side")->Arg(181)->Unit(benchmark::kMillisecond);

} // namespace
