// The editor's map reader on the bytes of one map file, and the round trip
// its save makes: a map that reads and that the writer accepts must write,
// read back and write again the same bytes.
#include <cstdio>
#include <cstdlib>

#include "editor_session.h"
#include "shell/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tilesmith;
    fuzzeditor::Command([&] {
        MapDocument doc;
        if (!ParseMapFile(fuzzeditor::Bytes(data, size), doc).ok)
            return;
        if (!MapWriteProblem(SourceOf(doc)).isEmpty())
            return;
        const QByteArray written = SerializeMap(doc);
        MapDocument back;
        const MapReadResult reread = ParseMapFile(written, back);
        if (!reread.ok) {
            std::fprintf(stderr, "the written map does not read back: %s\n", qPrintable(reread.error));
            std::abort();
        }
        if (SerializeMap(back) != written) {
            std::fprintf(stderr, "the map read back writes other bytes\n");
            std::abort();
        }
    });
    return 0;
}
