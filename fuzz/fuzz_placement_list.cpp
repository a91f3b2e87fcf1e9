// The input as a map's NPC placement list: read as opening the map reads
// it, then the statement of the first NPC read (or of number 1) removed the
// way deleting a placed NPC removes it.
#include "editor_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tilesmith;
    fuzzeditor::WriteGameFile(QStringLiteral("Script/fuzz_npc.jsr"), data, size);
    Module1& m = fuzzeditor::Data();
    fuzzeditor::Command([&] {
        m.NpcCount = 0;
        fuzzeditor::Procedures().LoadMapNpcList(fuzzeditor::GameDir() + QStringLiteral("Map/fuzz.jmap"));
    });
    const int16_t id = m.NpcCount > 0 ? GetNumber(m.NpcValues[0][0]) : int16_t(1);
    fuzzeditor::Command([&] { fuzzeditor::Procedures().RemoveScriptEntry(QStringLiteral("fuzz_npc"), id); });
    return 0;
}
