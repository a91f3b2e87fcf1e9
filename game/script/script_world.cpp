// World commands. Not built yet: each reads its arguments and goes on with
// the next line.
#include "script.h"

#include "world/magic.h"
#include "world/monster.h"
#include "world/npc.h"

void script::SetNpcPos()
{
    ArgQuoted();
    ArgAfterQuoted(',');
    ArgUpTo(')');
    SkipLine(file);
}

void script::SetMonsterPos()
{
    ArgQuoted();
    ArgAfterQuoted(',');
    ArgUpTo(')');
    SkipLine(file);
}

void script::AddItem()
{
    ArgQuoted();
    SkipLine(file);
}

void script::KillNpc()
{
    ArgQuoted();
    SkipLine(file);
}

void script::KillMonster()
{
    ArgQuoted();
    SkipLine(file);
}

void script::SetWalkMode()
{
    ArgUpTo(',');
    ArgQuoted();
    ArgAfterQuoted(')');
    SkipLine(file);
}

void script::MoveNpcTo()
{
    ArgQuoted();
    ArgAfterQuoted(',');
    ArgUpTo(')');
    SkipLine(file);
}

void script::MoveMonsterTo()
{
    ArgQuoted();
    ArgAfterQuoted(',');
    ArgUpTo(')');
    SkipLine(file);
}

void script::ChangeMap()
{
    ArgQuoted();
    SkipLine(file);
}

void script::SetMePos()
{
    ArgUpTo(',');
    ArgUpTo(')');
    SkipLine(file);
}

void script::AddToMagicList()
{
    MagicKind::ReadFromScript(file);
    SkipLine(file);
}

void script::AddRole()
{
    ArgRecord(21);
    SkipLine(file);
}

void script::AddNpc()
{
    Npc::ReadFromScript(file);
    SkipLine(file);
}

void script::AddMonster()
{
    Monster::ReadFromScript(file);
    SkipLine(file);
}
