// The input as the script editor's event table ("eventtable.txt").
#include "editor_session.h"
#include "tools/event_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzeditor::Command([&] {
        QString warning;
        tilesmith::EventTable table = tilesmith::EventTable::read(fuzzeditor::Bytes(data, size), warning);
        table.find("N");
    });
    return 0;
}
