// Property commands. Not built yet: each reads its arguments and goes on
// with the next line.
#include "script.h"

void script::SetMonsterProp()
{
    ArgQuoted();
    const std::string property = ArgAfterQuoted(',');
    if (property == "name")
        ArgQuoted();
    else
        ArgUpTo(')');
    SkipLine(file);
}

void script::SetNpcProp()
{
    ArgQuoted();
    const std::string property = ArgAfterQuoted(',');
    if (property == "name")
        ArgQuoted();
    else
        ArgUpTo(')');
    SkipLine(file);
}

void script::GetMeProp()
{
    ArgUpTo(')');
    SkipLine(file);
}

void script::SetMeProp()
{
    const std::string property = ArgUpTo(',');
    if (property == "name")
        ArgQuoted();
    else
        ArgUpTo(')');
    SkipLine(file);
}
