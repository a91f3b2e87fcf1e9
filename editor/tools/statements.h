#pragma once
// The statements that carry placed NPCs and monsters, the role and the magic
// kinds to the game: "AddNpc(", "AddMonster(", "AddRole(" and
// "AddToMagicList(". Each is one line: the name, "(", ",", every value
// followed by ",", then ");" and CR LF. The game splits values at commas and
// line ends, so a value holding either (or starting with a double quote,
// which the editor's own readers take as a quoted field) would shift every
// later value; such values are refused instead of written.
#include "magic_rec.h"
#include "shell/module1.h"

#include <QByteArray>
#include <QString>

namespace tilesmith {

// Why the value cannot stand in a statement, or "" when it can.
QString StatementValueProblem(const QByteArray& value);

// The whole number the game reads at the start of a value: optional sign
// and digits; 0 when the text does not start with one.
long LeadingWholeNumber(const QByteArray& value);

struct StatementText {
    QByteArray text;
    // Set when a value could not be written; the text is then not to be used.
    QString error;
    // Monster instances left out because their kind is negative.
    int skipped = 0;
};

// One "AddNpc(" line per instance 0..count-1 with attribCount values each,
// then "EOF" without a line end.
StatementText NpcStatements(const ValueTable& values, int count, int attribCount);
// As NpcStatements with "AddMonster("; an instance whose first value reads
// as a negative number (a monster deleted on the map) is left out.
StatementText MonsterStatements(const ValueTable& values, int count, int attribCount);
// One "AddRole(" line of the role list's data fields, with its line end.
StatementText RoleStatement(const AttribArray& attribs, int count);
// One "AddToMagicList(" line per record 0..count-1 with a picture name, 31
// fields each, then "EOF".
StatementText MagicListStatements(const MagicTable& recs, int count);

// A record as the magic editor initialises it: a free one ("NULL" names).
MagicRec InitStruct();

// Reads a magic list written by MagicListStatements into `recs` (all 51
// records initialised first). Fails, with `error` saying where and `recs`
// untouched, when the data cannot be read as whole statements of 31 values,
// a number field is no 16-bit number, or there are more than 51 statements.
bool ReadMagicList(const QByteArray& data, MagicTable& recs, QString& error);

} // namespace tilesmith
