// The input as the editor's NPC attribute list: read as start-up reads it,
// a value looked up and set, and the list saved back when it read whole.
#include "editor_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzeditor::WriteGameFile(QStringLiteral("editor/FuzzAttribList.txt"), data, size);
    auto& procedures = fuzzeditor::Procedures();
    fuzzeditor::Command([&] {
        procedures.LoadNpcAttribList(QStringLiteral("FuzzAttribList.txt"));
        const QByteArray var = fuzzeditor::Data().NpcAttribs[0].varname;
        procedures.GetAttribValue("npc", 0, var);
        procedures.SetAttribValue("npc", 0, var, "1");
        procedures.SaveNpcAttribList();
    });
    return 0;
}
