#pragma once
// The editor's shared data: the map document, the edit and tool state, the
// attribute lists and the placed NPC and monster values. One instance lives
// for the whole run and every form works on it.
//
// Texts that come from files (event names, attribute fields, placement
// values) are kept as the GBK bytes the files hold; they are decoded only to
// be shown.
#include "platform/convert.h"
#include "tools/magic_rec.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace tilesmith {

// One cell of one layer.
struct TileRec {
    int16_t srcX = 0;
    int16_t srcY = 0;
    int16_t sheet = -1; // -1: empty
    int16_t mapX = 0;
    int16_t mapY = 0;
    QByteArray event = QByteArrayLiteral("N"); // ground layer only; "N": none
    int16_t obstacle = 0;                       // ground layer only
};

bool operator==(const TileRec& a, const TileRec& b);

// One attribute definition.
struct AttribRec {
    int16_t index = 0; // slot number as last saved; -1: deleted
    QByteArray name;
    QByteArray control;
    QByteArray restrict;
    QByteArray data;
    QByteArray varname;
    int16_t editable = fr::False;
    QByteArray other;
};

inline constexpr int AttribSlots = 51;    // slots 0..50
inline constexpr int SearchedSlots = 50;  // lookups and resets touch 0..49
inline constexpr int InstanceSlots = 51;  // placed instances 0..50
inline constexpr int PlacementLimit = 50; // the readers stop at 50

using AttribArray = std::array<AttribRec, AttribSlots>;
using ValueTable = std::array<std::array<QByteArray, AttribSlots>, InstanceSlots>;

// The layers as the edit layer numbers them; 1..7 hold tiles.
inline constexpr int TileLayers = 7;

struct Module1 {
    // The map document.
    QString MapPath;
    fr::NumOrText MapWidth;
    fr::NumOrText MapHeight;
    int16_t TileCount = 0;
    int16_t RoleDir = 0;
    int16_t RoleX = 0;
    int16_t RoleY = 0;
    std::vector<TileRec> GroundLayData;
    std::vector<TileRec> Object2LayData;
    std::vector<TileRec> Object3LayData;
    std::vector<TileRec> Object4LayData;
    std::vector<TileRec> Object5LayData;
    std::vector<TileRec> Object6LayData;
    std::vector<TileRec> SkyLayData;
    // Layer 1 (ground) to 7 (sky).
    std::vector<TileRec>& LayData(int layer);
    const std::vector<TileRec>& LayData(int layer) const;

    // Edit layer, caption texts, brush and tools.
    int16_t EditLay = 1;
    QString EditLayText = QStringLiteral("编辑地面层1");
    QString ViewText = QStringLiteral("显示全部层");
    int16_t CurIndex = 0;
    QString CurSheet = QStringLiteral("map1");
    QString BrushSheetName = QStringLiteral("map1");
    double BrushWidth = 32;
    double BrushHeight = 32;
    double StepX = 32;
    double StepY = 32;
    int16_t SpinnerMode = 0;
    bool LargeMode = false;
    // LargeMode and TakeOutInfo to put back when the eraser or the obstacle
    // marker is switched off.
    bool SavedLargeMode = false;
    bool SavedTakeOutInfo = false;
    int16_t TakeOutMode = 0;
    int16_t TakeOutBrush = 0;
    bool TakeOutInfo = false;
    int16_t EraserMode = 0;
    // -1: clicks on layer 8 paint or erase events; 0: they set or clear
    // obstacles. CurEvent: the event name the event brush paints (GBK).
    int16_t EventMode = 0;
    QByteArray CurEvent;
    double BrushX = 0;
    int16_t BrushY = 0;
    int16_t BrushSheet = 0;
    double SheetWidth = 0;
    // Sheet heights are sizes, held in 32 bits: a tall sheet is no error.
    int SheetHeight = 0;

    // Placing the role, an NPC or a monster with the next click (-1).
    int16_t RolePlacing = 0;
    int16_t NpcPlacing = 0;
    int16_t MonsterPlacing = 0;

    int16_t NpcCount = 0;
    int16_t MonsterCount = 0;
    // The NPC and monster instance the placement forms work on; -1 none.
    int16_t CurNpc = -1;
    int16_t CurMonster = -1;
    // The file last chosen in the script editor's lists.
    QString CurScriptPath;

    // The magic kinds: records 0..MagicCount-1 in use, in the order of the
    // game's list; the rest free. CurMagic: the selected row + 1 (0 none).
    std::array<MagicRec, MagicSlots> MagicRecs;
    int16_t MagicCount = 0;
    int16_t CurMagic = 0;
    // The magic picture shown and the grid of its frames: sheet size, one
    // frame's size, frames per row and rows of frames.
    double MagicSheetWidth = 0;
    int16_t MagicSheetHeight = 0;
    double MagicFrameWidth = 0;
    int16_t MagicFrameHeight = 0;
    double MagicFramesPerRow = 0;
    int16_t MagicFramesPerCol = 0;

    // The game's screen and the display.
    fr::NumOrText GameWidth = fr::NumOrText::fromNumber(640);
    int16_t GameHeight = 480;
    double ScreenWidth = 0;
    int16_t ScreenHeight = 0;

    // The editor's own folder followed by '/'.
    QString AppDir;

    // Sheet heights of the NPC and monster sheets.
    int NpcSheetHeight = 0;
    int MonsterSheetHeight = 0;

    // Attribute lists.
    AttribArray RoleAttribs;
    AttribArray NpcAttribs;
    AttribArray MonsterAttribs;
    int16_t RoleAttribCount = 0;
    int16_t NpcAttribCount = 0;
    int16_t MonsterAttribCount = 0;
    // The list the attribute definition dialog works on: "role", "npc" or
    // "monster".
    QByteArray AttribKindName = QByteArrayLiteral("role");
    // Selected row of each kind's form (-1 none) and the dialog's mode for
    // it (-1 add, 0 modify the selected record).
    int16_t RoleAttribSel = 0;
    int16_t NpcAttribSel = 0;
    int16_t MonsterAttribSel = 0;
    int16_t RoleAttribMode = 0;
    int16_t NpcAttribMode = 0;
    int16_t MonsterAttribMode = 0;

    // Values of the placed NPCs and monsters: (instance, attribute slot).
    ValueTable NpcValues;
    ValueTable MonsterValues;
    QString NpcListPath;
    QString MonsterListPath;
    // What each placement list was last read for: the map, and the list
    // file's size and digest (size -1: there was no file). The placement
    // forms read the list again only when the map or the file changed.
    struct ListStamp {
        bool taken = false;
        QString mapPath;
        qint64 size = -1;
        QByteArray digest;
        bool operator==(const ListStamp&) const = default;
    };
    ListStamp NpcListStamp;
    ListStamp MonsterListStamp;

    // Files of which some records were left unread; rewriting one of them
    // would lose those records, so it is refused.
    QSet<QString> PartlyReadFiles;
};

} // namespace tilesmith
