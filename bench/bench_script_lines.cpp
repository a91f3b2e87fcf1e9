// Scripts with very long lines, run to their end as start-up runs them,
// beside reading the same file; and the step back to a line's start alone,
// beside a plain search of the same bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "bench_setup.h"

namespace {

constexpr size_t kSpaces = 200000;

// A game folder of its own (only its Script folder is used), made once.
const std::filesystem::path& LinesFolder()
{
    static const std::filesystem::path root = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("tev-bench-lines-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "Script");
        auto write = [&](const char* name, const std::string& text) {
            std::ofstream(dir / "Script" / name, std::ios::binary) << text;
        };
        // Two statements each indented by 200 000 blanks, in a loop of 200
        // passes: about 400 KB.
        const std::string blanks(kSpaces, ' ');
        write("spaces.jsr", "int n = 0;\r\nwhile(n<200)\r\n" + blanks + "n = n + 1;\r\n" + blanks +
                                "int k = n;\r\nloop\r\nstatic int done = n;\r\nEOF\r\n");
        // One comment line that fills the file to the size cap.
        const std::string tail = "\r\nstatic int done = 1;\r\nEOF\r\n";
        const size_t cap = static_cast<size_t>(FileHelper::CapOf(DataKind::Script));
        write("comment.jsr", "// " + std::string(cap - 3 - tail.size(), 'x') + tail);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(LinesFolder(), ec);
        });
        return dir;
    }();
    return root;
}

// The game's paths lead into the folder above while fn runs.
template <class Fn>
void InLinesFolder(Fn fn)
{
    SetUpGame();
    auto& paths = plat::P().paths();
    const std::filesystem::path before = paths.Root();
    paths.SetRoot(LinesFolder());
    fn();
    paths.SetRoot(before);
}

void BM_ScriptLongLines(benchmark::State& state, const char* name)
{
    InLinesFolder([&] {
        for (auto _ : state) {
            g_Script.RunToEnd(name);
            if (g_Script.LookupVariable("done", 1) < 0) {
                state.SkipWithError("the script did not reach its end");
                break;
            }
        }
    });
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(LinesFolder() / "Script" / (std::string(name) + ".jsr"))));
}
BENCHMARK_CAPTURE(BM_ScriptLongLines, spaces, "spaces")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScriptLongLines, comment_at_cap, "comment")->Unit(benchmark::kMillisecond);

// The floor: the same file read as the script reads it, whole.
void BM_ReadScriptFile(benchmark::State& state, const char* name)
{
    InLinesFolder([&] {
        FileHelper h;
        std::string text;
        for (auto _ : state) {
            if (!h.ReadDataFile(std::string("Script\\") + name + ".jsr", DataKind::Script, &text)) {
                state.SkipWithError("the file could not be read");
                break;
            }
            benchmark::DoNotOptimize(text.data());
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    });
}
BENCHMARK_CAPTURE(BM_ReadScriptFile, spaces, "spaces")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadScriptFile, comment_at_cap, "comment")->Unit(benchmark::kMillisecond);

// The step back over one line of the given length, the stream in memory as
// a script's is, beside a plain backward search of the same bytes.
void BM_GoLineStart(benchmark::State& state)
{
    const size_t n = static_cast<size_t>(state.range(0));
    std::string text = "ab\r\n" + std::string(n, ' ') + "x;\r\n";
    FILE* f = fmemopen(text.data(), text.size(), "rb");
    FileHelper h;
    for (auto _ : state) {
        std::fseek(f, static_cast<long>(n + 4), SEEK_SET);
        h.GoLineStart(f);
        benchmark::DoNotOptimize(std::ftell(f));
    }
    std::fclose(f);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(BM_GoLineStart)->Arg(40)->Arg(kSpaces)->Unit(benchmark::kMicrosecond);

void BM_FindLineStartInString(benchmark::State& state)
{
    const size_t n = static_cast<size_t>(state.range(0));
    const std::string text = "ab\r\n" + std::string(n, ' ') + "x;\r\n";
    for (auto _ : state) {
        size_t at = n + 4;
        benchmark::DoNotOptimize(text.data());
        while (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r')
            --at;
        benchmark::DoNotOptimize(at);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(BM_FindLineStartInString)->Arg(40)->Arg(kSpaces)->Unit(benchmark::kMicrosecond);

} // namespace
