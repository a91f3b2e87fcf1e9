// The input as the editor's "RecentMap.txt".
#include "editor_session.h"
#include "shell/recent_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzeditor::WriteGameFile(QStringLiteral("editor/RecentMap.txt"), data, size);
    fuzzeditor::Command([&] { tilesmith::ReadRecentMap(fuzzeditor::EditorDir()); });
    return 0;
}
