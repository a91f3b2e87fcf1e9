// An editing session at the size cap, as a map maker goes through it: open
// a copy of the demo's Map/huge.jmap (181×181, all seven layers drawn in
// every cell; drawn here from the benchmark's own sheets), show the thumbnail, copy a block out of layer 2 and fill the
// layer with it, paint with the block, save. Each step's counter is the
// process's peak resident memory from the start of the session up to the end
// of that step; held_MiB is what is resident once the session is over. Run
// it alone (--benchmark_filter=EditSession) so that no earlier line's memory
// is in its figures.
#include "bench_fixture.h"

#include "shell/thumbnail_form.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void EditSession(benchmark::State& state)
{
    tilesmith::Main& m = benchfx::main();
    tilesmith::Module1& M = benchfx::data();
    const QString path = benchfx::root() + QStringLiteral("Map/huge.jmap");
    if (!QFile::exists(path) && !QFile::copy(QStringLiteral(TEV_DEMO_DIR "/Map/huge.jmap"), path)) {
        state.SkipWithError("no demo map Map/huge.jmap");
        return;
    }
    const QString saved = benchfx::root() + QStringLiteral("Map/session.jmap");
    for (auto _ : state) {
        benchfx::ResetPeak();
        if (!m.OpenMapFile(path)) {
            state.SkipWithError("open failed");
            return;
        }
        Settle();
        state.counters["open_MiB"] = benchfx::PeakMiB();

        m.MenuItem(QStringLiteral("Menu_WholeMap"))->trigger();
        Settle();
        m.WholeMapPicForm.unload();
        Settle();
        state.counters["thumbnail_MiB"] = benchfx::PeakMiB();

        // A 4×4-cell block of layer 2 from cell (5, 5): a right press on the
        // cursor box there starts the region copy, a left press on the map
        // ends it.
        m.HScroll1->setValue(0);
        m.VScroll1->setValue(0);
        M.EditLay = 2;
        m.MainPic->move(160, 160);
        Mouse(m.MainPic, QEvent::MouseButtonPress, {1, 1}, Qt::RightButton);
        Mouse(m.MainPic, QEvent::MouseButtonRelease, {1, 1}, Qt::RightButton);
        Mouse(m.Picture1, QEvent::MouseMove, {288, 288}, Qt::NoButton);
        Mouse(m.Picture1, QEvent::MouseButtonPress, {288, 288}, Qt::LeftButton);
        Mouse(m.Picture1, QEvent::MouseButtonRelease, {288, 288}, Qt::LeftButton);
        Settle();
        if (M.BrushWidth != 128 || M.BrushHeight != 128)
            state.SkipWithError("the region copy did not take a 4×4 block");
        m.MenuItem(QStringLiteral("Menu_FillAll"))->trigger();
        Settle();
        state.counters["fill_MiB"] = benchfx::PeakMiB();

        m.MainPic->move(2048, 2048);
        Mouse(m.MainPic, QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton);
        Mouse(m.MainPic, QEvent::MouseButtonRelease, {1, 1}, Qt::LeftButton);
        Settle();
        state.counters["paint_MiB"] = benchfx::PeakMiB();

        M.MapPath = saved;
        m.Menu_SaveMap_Click();
        if (m.MapSaved != -1)
            state.SkipWithError("save failed");
        Settle();
        state.counters["save_MiB"] = benchfx::PeakMiB();
        state.counters["held_MiB"] = benchfx::ResidentMiB();
    }
}

BENCHMARK(EditSession)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
