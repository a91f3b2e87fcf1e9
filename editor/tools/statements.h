#pragma once
// The statements that carry placed NPCs and monsters, the role and the magic
// kinds to the game: "AddNpc(", "AddMonster(", "AddRole(" and
// "AddToMagicList(". Each is one line: the name, "(", ",", every value
// followed by ",", then ");" and CR LF. The game splits values at commas and
// line ends, so a value holding either (or a double quote, which the
// editor's own readers take as field quoting) would shift every later value;
// such values are refused instead of written (ValueTextProblem).
#include "magic_rec.h"
#include "shell/module1.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tilesmith {

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

// A magic list read back from its file (statements as MagicListStatements
// writes them: a head, 31 values and the closing item, "EOF" ending the
// list; the end of the data ends it too).
struct MagicListRead {
    MagicTable recs;    // the statements read, in order; the rest initialised
    int count = 0;      // statements read, whatever their names
    // Some of the file was not read, or a value was replaced by 0: writing
    // the table back would lose what the file holds.
    bool partial = false;
    QStringList problems; // one line each, naming the line of the file
};
// Reads at most 51 statements. A statement cut short by the end of the data
// ends the reading; a number field that is no number (or not within 16
// bits) reads as 0; a picture size beyond 16 bits is held at the limit.
// Each is reported in `problems`.
MagicListRead ReadMagicList(const QByteArray& data);

// What the game will make of a magic list about to be written: kinds left
// out for want of a picture (the later kinds then move up one place), and
// kinds whose ID or the number in whose picture name differs from the
// kind's place in the written list (the game pairs a kind's data and
// picture by that place). One line each; empty when all agree.
QStringList MagicListProblems(const MagicTable& recs, int count);

} // namespace tilesmith
