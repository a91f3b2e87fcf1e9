#pragma once
// Helpers for the editor's tests: dialogs that answer from a queue and record
// what they were asked, a fixture game folder, and file helpers.
#include "platform/dialogs.h"
#include "shell/map_file.h"
#include "shell/module1.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <optional>
#include <vector>

namespace tstest {

// Installed while it lives. Plain message boxes answer OK; Yes/No and
// OK/Cancel boxes take the next queued answer (a test that did not queue one fails); file
// dialogs take the next queued path ("" = cancel).
class ScriptedDialogs : public fr::Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    int msgBox(const QString& text, int style, const QString& title) override;
    bool inputBox(const QString& prompt, const QString& title, const QString& proposed, QString& answer) override;
    QString openFile(fr::CommonDialogState& state) override;
    QString saveFile(fr::CommonDialogState& state) override;

    std::deque<int> yesNo; // also the answers of OK/Cancel boxes
    // File dialogs are the program's own (Qt's), for a test to drive as a
    // hand does; the queue of paths is not used.
    bool realFileDialogs = false;
    std::deque<QString> files;
    std::deque<std::optional<QString>> inputs;

    QStringList messages;
    QStringList proposals; // the text each input box proposed
    std::vector<int> styles;
    std::vector<fr::CommonDialogState> fileDialogs; // as each dialog saw it
    // Messages that contain `part`.
    int count(const QString& part) const;
    bool saw(const QString& part) const { return count(part) > 0; }
};

// Records fr::endProgram() requests instead of leaving the event loop.
class EndProgramProbe {
public:
    EndProgramProbe();
    ~EndProgramProbe();
    std::vector<int> codes;
};

// While it lives, no file of this process may grow beyond `bytes`: a write
// past it fails with EFBIG (SIGXFSZ is ignored), even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();

private:
    long oldSoft_ = 0;
    void (*oldHandler_)(int) = nullptr;
};

// The names in a folder, hidden ones included.
QStringList FolderEntries(const QString& dir);

QByteArray G(const char* utf8); // UTF-8 literal to GBK bytes
QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);

// The colour of every pixel of a fixture sheet: one colour per cell of
// cellW×cellH (never the transparent blue), the cell's top-left pixel a
// lighter one, so probes can tell which cell was copied and how it lined up.
QRgb SheetColour(int sheet, int cellIndex, bool corner);
QImage MakeSheet(int sheet, int w, int h, int cellW, int cellH);

// A game folder with its editor folder:
//   Resource/bmp/{map1,map2,map3,npc,monster}.bmp (256×256 maps, npc 256×192,
//   monster 192×1024), editor/{Role,Npc,Monster}AttribList.txt (21, 16 and 29
//   records), Map/, Map/BMap/, Script/.
class GameFolder {
public:
    GameFolder();
    QString root() const { return root_; }          // ends with '/'
    QString editorDir() const { return root_ + "editor/"; }
    QString path(const QString& rel) const { return root_ + rel; }
    void write(const QString& rel, const QByteArray& bytes) const;
    bool ok() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
    QString root_;
};

// Attribute list lines as the fixture writes them.
QByteArray NpcAttribListBytes();
QByteArray MonsterAttribListBytes();
QByteArray RoleAttribListBytes();

// A map document of w×h empty cells with the given header.
tilesmith::MapDocument EmptyMap(int w, int h, int dir = 1, int x = -1, int y = -1);
// The open map's cells as the game's tests compare them, one line per cell:
// layer index srcX srcY mapX mapY sheet, on the ground layer also obstacle
// and the event's bytes in hex.
QByteArray MapCellList(const tilesmith::Module1& m);

// "AddNpc(,v1,...,vN,);" lines followed by "EOF" without a line end.
QByteArray PlacementBytes(const char* head, const std::vector<QStringList>& entries);
// A 16-value NPC entry and a 29-value monster entry with the position,
// frame and kind given.
QStringList NpcEntry(int id, int frame, int x, int y);
QStringList MonsterEntry(int id, int frame, int x, int y);

} // namespace tstest
