// An editing session at the size cap, as a map maker goes through it: open
// a copy of the demo's Map/huge.jmap (181×181, all seven layers drawn in
// every cell; drawn here from the benchmark's own sheets), show the
// thumbnail, copy a block out of layer 2 and fill the layer with it, paint
// with the block, save. Each step's counter is the process's peak resident
// memory from the start of the session up to the end of that step; held_MiB
// is what is resident once the session is over. The session runs ten times
// in one process, as a map maker opens one map after another (opening a map
// closes the one before): every repetition has its own line, and held_MiB
// stays level when nothing of one session is kept into the next.
// Run it alone (--benchmark_filter=EditSession) so that no earlier line's
// memory is in its figures.
#include "bench_fixture.h"

#include <QAction>

#include <benchmark/benchmark.h>

namespace {

using benchfx::Mouse;
using benchfx::Settle;

void EditSession(benchmark::State& state)
{
    tilesmith::Main& m = benchfx::main();
    tilesmith::Module1& M = benchfx::data();
    const QString path = benchfx::CapMap();
    if (path.isEmpty()) {
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

        benchfx::OpenThumbnail();
        state.counters["thumbnail_MiB"] = benchfx::PeakMiB();

        // A 4×4-cell block of layer 2 from cell (5, 5).
        M.EditLay = 2;
        if (!benchfx::CopyBlock(5, 5, 4, 4))
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

BENCHMARK(EditSession)->Iterations(1)->Repetitions(10)->Unit(benchmark::kMillisecond);

} // namespace
