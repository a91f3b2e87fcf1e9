// Opening maps: the open dialog and the recent map. An open reads, checks
// and draws everything into fresh objects first and makes them the document
// only when all of it worked, so a cancelled or failed open changes nothing.
#include "main_form.h"
#include "recent_map.h"

#include "platform/blit.h"
#include "platform/gbk.h"
#include "platform/paths.h"

#include <QFileInfo>

#include <cstring>
#include <QScrollBar>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tilesmith {

namespace {

struct Staged {
    MapDocument doc;
    PlacementList npcs;
    PlacementList monsters;
    QString npcPath;
    QString monsterPath;
    bool npcPartial = false;
    bool monsterPartial = false;
    std::array<fr::PicImage, LayerPictures> lay;
    QStringList reports; // shown once the map is open
};

// Reads one placement list for the open: a missing file gives no instances,
// a file that cannot be read gives none either (with its message).
void stageList(const QString& path, int attribCount, const char* kind, PlacementList& list, bool& partial)
{
    const ValueTable keep = list.values;
    if (ReadPlacementList(path, attribCount, kind, list, partial) != ListRead::Read) {
        list.values = keep;
        list.count = 0;
        partial = false;
    }
}

struct SpriteSpec {
    const char* kind;   // "npc" / "monster"
    QString sheetName;  // "anpc" / "monster"
    int w, h;           // cell size
    int perRow;         // cells per row
    int kindHeight;     // pixels of sheet per kind
};

// The map before is freed in many pieces that the allocator keeps for
// itself. Kept, they serve the next map opened; given back to the system
// after every opening, the next map would have all its memory faulted in
// again (the largest map opens at half the speed). So they are given back
// only when the allocator holds much more free than a map like the one just
// opened takes: memory stays level across openings, and a small map after a
// large one leaves the editor small again.
class SpareMemory {
public:
    SpareMemory() : before_(inUse()) {}
    // The new map is read and drawn, the old one still in place.
    void staged()
    {
        const size_t now = inUse();
        needed_ = now > before_ ? now - before_ : 0;
    }
    // The old map is freed and the new one shown.
    void afterOpen() const
    {
#ifdef __GLIBC__
        const size_t spare = mallinfo2().fordblks;
        if (spare > 2 * needed_ + MinKept)
            malloc_trim(0);
#endif
    }

private:
    // At the size cap a map takes about 16 MiB and the allocator keeps
    // about 28 MiB free from one opening to the next: kept, it serves.
    static constexpr size_t MinKept = size_t(16) << 20;
    static size_t inUse()
    {
#ifdef __GLIBC__
        const auto info = mallinfo2();
        return info.uordblks + info.hblkhd;
#else
        return 0;
#endif
    }
    size_t before_;
    size_t needed_ = 0;
};

} // namespace

bool Main::OpenMapFile(const QString& path)
{
    SpareMemory spare;
    QByteArray bytes;
    QString error;
    if (!fr::readWholeFile(path, bytes, error)) {
        fr::msgBox(QStringLiteral("无法打开地图：%1").arg(error));
        return false;
    }
    auto staged = std::make_unique<Staged>();
    const MapReadResult read = ParseMapFile(bytes, staged->doc);
    bytes = QByteArray();
    if (!read.ok) {
        fr::msgBox(QStringLiteral("无法打开地图：%1\r\n%2\r\n当前的地图没有改变。").arg(path, read.error));
        return false;
    }
    if (read.lfOnly)
        staged->reports << QStringLiteral("地图文件的行尾只有 LF（没有 CR），已按 CR LF 读入：%1").arg(path);
    const MapDocument& doc = staged->doc;

    // The placement lists of the map being opened (their names come from
    // its path, not from the map still on screen).
    staged->npcs.values = M.NpcValues;
    staged->monsters.values = M.MonsterValues;
    staged->npcPath = PlacementListPath(path, "_npc");
    staged->monsterPath = PlacementListPath(path, "_monster");
    stageList(staged->npcPath, M.NpcAttribCount, "npc", staged->npcs, staged->npcPartial);
    stageList(staged->monsterPath, M.MonsterAttribCount, "monster", staged->monsters, staged->monsterPartial);

    // Draw every layer picture (its tiles are made when they are shown).
    const int pw = 32 * doc.width;
    const int ph = 32 * doc.height;
    for (int layer = 1; layer <= LayerPictures; ++layer) {
        fr::PicImage& p = staged->lay[size_t(layer - 1)];
        p.setTiled(true);
        p.resize(pw, ph);
        p.setRecipe(NewLayerRecipe(layer));
    }
    setWindowTitle(QStringLiteral("正在读取地图块: 共 ") + QString::number(doc.TileCount) + QStringLiteral(" 块"));
    bool missingTile = false;
    int firstMissingLayer = 0, firstMissingCell = 0;
    const TileRec* ground = doc.layers[0].data();
    for (int i = 0; i < doc.TileCount; ++i) {
        for (int layer = 1; layer <= TileLayers; ++layer) {
            const TileRec& t = doc.layers[layer - 1][static_cast<size_t>(i)];
            if (t.sheet == -1)
                continue;
            if (!staged->lay[layer - 1].drawLater({t.mapX, t.mapY, t.srcX, t.srcY, 32, 32, uint8_t(t.sheet), false}) &&
                !missingTile) {
                missingTile = true;
                firstMissingLayer = layer;
                firstMissingCell = i;
            }
        }
        const TileRec& g = ground[i];
        if (g.obstacle == 1)
            staged->lay[7].drawLater({g.mapX, g.mapY, 0, 0, 32, 32, ObstacleSource, false});
        if (g.event != "N")
            staged->lay[7].drawLater({g.mapX, g.mapY, 0, 0, 32, 32, EventSource, true});
    }
    if (missingTile)
        staged->reports << QStringLiteral("地图中有图块不在它的图块表里（第一个：第 %1 层第 %2 格），这些图块没有画出。")
                             .arg(firstMissingLayer)
                             .arg(firstMissingCell);

    // NPC and monster sprites.
    const SpriteSpec specs[2] = {{"npc", QStringLiteral("anpc"), 32, 48, 8, 96},
                                 {"monster", QStringLiteral("monster"), 64, 64, 3, 512}};
    for (const SpriteSpec& s : specs) {
        const bool npc = std::strcmp(s.kind, "npc") == 0;
        const PlacementList& list = npc ? staged->npcs : staged->monsters;
        const AttribArray& attribs = npc ? M.NpcAttribs : M.MonsterAttribs;
        const char* names[4] = {"lx", "ly", "curpicindex", "id"};
        int slotOf[4];
        bool found = true;
        for (int k = 0; k < 4; ++k) {
            slotOf[k] = Module2::FindAttribSlot(attribs, names[k]);
            if (slotOf[k] < 0)
                found = false;
        }
        for (int n = 0; n < list.count; ++n) {
            if (!found) {
                for (int k = 0; k < 4; ++k)
                    if (slotOf[k] < 0)
                        fr::msgBox(QStringLiteral("GetAttribValue没找到变量") + QLatin1String(names[k]));
                break;
            }
            int16_t v[4];
            bool whole = true;
            for (int k = 0; k < 4; ++k)
                whole = whole && fr::parseWholeInt16(list.values[n][slotOf[k]], v[k]);
            const QString who = npc ? QStringLiteral("NPC") : QStringLiteral("怪物");
            if (!whole) {
                staged->reports << QStringLiteral("有%1的 lx、ly、curpicindex 或 id 不是整数，这些%1没有画出。").arg(who);
                continue;
            }
            const int x = v[0], y = v[1], f = v[2], kind = v[3];
            const int sx = npc ? (f & 7) * s.w : (f % s.perRow) * s.w;
            const int sy = (f / s.perRow) * s.h + kind * s.kindHeight;
            if (!staged->lay[8].drawLater({int16_t(x), int16_t(y), sx, sy, uint8_t(s.w), uint8_t(s.h),
                                           uint8_t(GetSheetIndex(s.sheetName)), false}))
                staged->reports << QStringLiteral("有%1的图像不在它的图块表里，这些%1没有画出。").arg(who);
        }
    }

    // Everything is read and drawn: it becomes the document.
    spare.staged();
    setWindowTitle(QStringLiteral("正在渲染地图..."));
    M.MapPath = path;
    M.MapWidth = doc.MapWidth;
    M.MapHeight = doc.MapHeight;
    M.RoleDir = doc.RoleDir;
    M.RoleX = doc.RoleX;
    M.RoleY = doc.RoleY;
    M.TileCount = doc.TileCount;
    for (int layer = 1; layer <= TileLayers; ++layer)
        M.LayData(layer).swap(staged->doc.layers[layer - 1]);
    M.BrushSheetName = M.CurSheet;
    M.NpcValues = staged->npcs.values;
    M.MonsterValues = staged->monsters.values;
    M.NpcCount = staged->npcs.count;
    M.MonsterCount = staged->monsters.count;
    auto notePath = [&](const QString& listPath, bool partial, QString& remembered) {
        remembered = listPath;
        if (listPath.isEmpty())
            return;
        if (partial)
            M.PartlyReadFiles.insert(listPath);
        else
            M.PartlyReadFiles.remove(listPath);
    };
    notePath(staged->npcPath, staged->npcPartial, M.NpcListPath);
    notePath(staged->monsterPath, staged->monsterPartial, M.MonsterListPath);
    M.NpcListStamp = PlacementListStamp(path, "_npc");
    M.MonsterListStamp = PlacementListStamp(path, "_monster");
    MapSaved = 0;
    MapEdited = false;
    // A block taken out of the map before is dropped: its picture and the
    // cells its records are read from belong to that map.
    if (canvas_)
        canvas_->DropRegionCopy();
    Picture1->pic().cls(); // nothing of the old map needs keeping
    for (int layer = 1; layer <= LayerPictures; ++layer)
        LayPicture(layer).swapDrawing(staged->lay[size_t(layer - 1)]);
    QStringList reports = staged->reports;
    reports.removeDuplicates();
    staged.reset();
    Picture1->setBoxSize(pw, ph);
    SetScrollMaxima();
    FullComposite();
    Picture1->show();
    SetEditMenusEnabled(true);
    ShowMapInfo();
    spare.afterOpen();
    for (const QString& report : reports)
        fr::msgBox(report);
    return true;
}

namespace {

QString OpenOverEditsQuestion()
{
    return QStringLiteral("地图修改后还没有保存，打开另一张地图会丢掉这些修改。确定打开吗？");
}

} // namespace

void Main::Menu_OpenMap_Click()
{
    // The document stays as it is until a file has been chosen and read.
    const QString remembered = ReadRecentMap(M.AppDir);
    Dialog1.initDir = fr::fileExists(remembered) ? GetParentPath(remembered, 1) : M.AppDir;
    Dialog1.filter = QStringLiteral("地图文件|*.jmap|所有文件|*.*");
    Dialog1.title = QStringLiteral("打开地图");
    QString chosen = fr::dialogs().openFile(Dialog1);
    if (chosen.isEmpty())
        return;
    if (!fr::fileExists(chosen)) {
        fr::msgBox(QStringLiteral("文件不存在!请重新选择!"));
        return;
    }
    chosen = fr::ci::resolve(QFileInfo(chosen).absoluteFilePath());
    if (KeepEditedMap(OpenOverEditsQuestion()) || !OpenMapFile(chosen))
        return;

    // The backup copy in the game's Map/BMap folder, which is never created
    // here: without it the map stays open and the backup is skipped.
    const QString backupDir = GetParentPath(M.AppDir, 1) + QStringLiteral("Map/BMap/");
    QString status = QStringLiteral("文件已打开! 打开后已备份到Map\\BMap");
    if (!fr::dirExists(backupDir)) {
        status = QStringLiteral("文件已打开! 备份失败");
        fr::msgBox(QStringLiteral("地图已打开，但找不到备份文件夹 %1，没有备份。").arg(backupDir));
    } else {
        QString error;
        const QString backup = fr::ci::resolve(backupDir) + GetFileName(M.MapPath);
        if (!fr::copyToOwnFile(GetParentPath(M.AppDir, 1), M.MapPath, backup, error)) {
            status = QStringLiteral("文件已打开! 备份失败");
            fr::msgBox(QStringLiteral("地图已打开，但备份失败：%1").arg(error));
        }
    }
    SetStatus(status);
    hideAndShow();
    QString error;
    if (!WriteRecentMap(M.AppDir, M.MapPath, error))
        fr::msgBox(QStringLiteral("没有记下最近打开的地图：%1").arg(error));
}

void Main::Menu_OpenRecentMap_Click()
{
    QString problem;
    const QString remembered = ReadRecentMap(M.AppDir, &problem);
    if (!problem.isEmpty()) {
        fr::msgBox(problem);
        return;
    }
    if (remembered.isEmpty() || !fr::fileExists(remembered)) {
        fr::msgBox(QStringLiteral("地图不存在！请用打开方式选择地图。"));
        return;
    }
    // Ctrl+D sits beside Ctrl+S: an edited map is kept unless the user
    // answers otherwise.
    if (KeepEditedMap(OpenOverEditsQuestion()) || !OpenMapFile(fr::ci::resolve(remembered)))
        return;
    SetStatus(QStringLiteral("已打开最近地图! "));
    hideAndShow();
}

} // namespace tilesmith
