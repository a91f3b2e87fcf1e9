#pragma once
// The editor's shared procedures: the attribute lists (reading, writing and
// looking up values), the per-map placement lists, and the string and path
// helpers. Paths use '/'; string positions count from 1.
#include "module1.h"
#include "services.h"

#include <QByteArray>
#include <QString>

namespace tilesmith {

// ---- Text and path helpers -------------------------------------------------

// The position just after the n-th occurrence of key at or after `start`
// (overlapping occurrences count), or 1 when there are fewer.
int FindNthString(const QByteArray& text, const QByteArray& key, int n, int start);
// All decimal digits of the text joined into one number; -1 when there are
// none or the number does not fit 16 bits.
int16_t GetNumber(const QByteArray& text);
int16_t GetNumber(const QString& text);
// Cuts the statement around position p (just after its '(') out of a text of
// one statement a line.
QByteArray CutStatement(const QByteArray& text, int p);
// The path up to and including its n-th separator counted backwards from the
// second-to-last character; the whole path for n = 0, "" when there are
// fewer separators.
QString GetParentPath(const QString& path, int n);
QString GetFileName(const QString& path);
QString StripExtension(const QString& name);
QString GetFileTitle(const QString& path);
// A value typed by the user: only the ASCII digits 0-9 (no sign, no blank),
// and within lo..hi. Leading zeros are allowed.
bool DigitsInRange(const QString& text, int lo, int hi, int& value);
// "map1" 0, "map2" 1, "map3" 2, "anpc" 3, "monster" 4, anything else 0.
int16_t GetSheetIndex(const QString& name);

// A value that becomes one field of an attribute list, a placement or magic
// statement or a map line: the game and the editor's own readers split at
// commas and line ends and take double quotes as field quoting, so a value
// holding ',', CR, LF or '"' would shift every later field. Why the value
// cannot be stored, or "" when it can.
QString ValueTextProblem(const QByteArray& gbk);
// A string that is written in double quotes (the attribute lists' names,
// controls, variable names and so on): a comma inside the quotes is read
// back as it stands, so only a double quote or a line break is refused.
QString QuotedTextProblem(const QByteArray& gbk);
// The same for typed text, which must also have a GBK form (`gbk` gets it);
// `quoted` for text that is only ever written in double quotes.
QString TypedValueProblem(const QString& text, QByteArray& gbk, bool quoted = false);

// ---- Placement lists -------------------------------------------------------

struct PlacementList {
    ValueTable values;
    int16_t count = 0;
};

enum class ListRead { Missing, Read, Failed };

// Reads "AddNpc("/"AddMonster(" entries of attribCount values each into
// `list` (count from 0). Missing: nothing changed. Failed: the file exists
// but could not be read (message shown), nothing changed. Read: `list`
// holds the entries; `partial` tells whether records were left unread.
// `kindWord` is "npc" or "monster" (it names the over-limit message).
ListRead ReadPlacementList(const QString& path, int attribCount, const char* kindWord, PlacementList& list,
                           bool& partial);

// The list file of a map: <game>/script/<map name>_npc.jsr and so on, the
// game folder being the one above the map's folder.
QString PlacementListPath(const QString& mapPath, const char* suffix);

// The stamp of a map's list file ("_npc" or "_monster") as it is now.
Module1::ListStamp PlacementListStamp(const QString& mapPath, const char* suffix);

class Module2 {
public:
    explicit Module2(Module1& m, ToolForms* tools = nullptr);
    void setTools(ToolForms* tools) { tools_ = tools; }
    Module1& data() { return m_; }

    // Attribute lists, in the editor's folder.
    void LoadRoleAttribList(const QString& fileName);
    void LoadNpcAttribList(const QString& fileName);
    void LoadMonsterAttribList(const QString& fileName);
    // False (with a message, the file untouched) when the list cannot be
    // written or was read only in part.
    bool SaveRoleAttribList();
    bool SaveNpcAttribList();
    bool SaveMonsterAttribList();

    // "1" found, "-1" not found (with a message).
    QByteArray SetAttribValue(const QByteArray& kind, int instance, const QByteArray& varname,
                              const QByteArray& value);
    // The value, or "-1" when not found (with a message).
    QByteArray GetAttribValue(const QByteArray& kind, int instance, const QByteArray& varname);
    // The slot of the first record 0..49 whose varname matches, or -1.
    static int FindAttribSlot(const AttribArray& list, const QByteArray& varname);

    // Placement lists of a map, read into the instance tables. A missing file
    // changes nothing.
    void LoadMapNpcList(const QString& mapPath);
    void LoadMapMonsterList(const QString& mapPath);
    // True when the map differs from the one the list was last read for,
    // or its file changed on disk since: only then does reading it again
    // not throw away what was changed in memory.
    bool MapNpcListChanged() const;
    bool MapMonsterListChanged() const;
    // Removes the statement whose first value is `id` from
    // <game>/script/<listName>.jsr.
    void RemoveScriptEntry(const QString& listName, int16_t id);

private:
    struct Kind {
        AttribKind kind;
        AttribArray* attribs;
        ValueTable* values;
    };
    bool kindOf(const QByteArray& kind, Kind& out);
    void loadAttribList(const QString& fileName, AttribArray& list, int16_t& count);
    bool saveAttribList(const QString& fileName, AttribArray& list, int16_t count);
    void loadMapList(const QString& mapPath, bool npc);

    Module1& m_;
    ToolForms* tools_;
};

} // namespace tilesmith
