// The input as the magic list the magic editor reads, and the checks and the
// text it writes from what it read.
#include "editor_session.h"
#include "tools/statements.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tilesmith;
    fuzzeditor::Command([&] {
        const MagicListRead read = ReadMagicList(fuzzeditor::Bytes(data, size));
        MagicListProblems(read.recs, read.count);
        MagicListStatements(read.recs, read.count);
    });
    return 0;
}
