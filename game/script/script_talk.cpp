// Dialogue commands. Not built yet: each reads its texts and goes on with
// the next line without showing a dialog.
#include "script.h"

void script::PlayerTalk()
{
    for (int i = 0; i < 3; ++i)
        ArgQuoted();
    SkipLine(file);
}

void script::NpcTalk()
{
    for (int i = 0; i < 3; ++i)
        ArgQuoted();
    SkipLine(file);
}

void script::Talk()
{
    for (int i = 0; i < 4; ++i)
        ArgQuoted();
    SkipLine(file);
}
