// Saving, clearing and starting new maps. A save writes the whole file beside
// the target first and replaces it only when every byte is written; success
// is reported only after that.
#include "main_form.h"

#include "size_form.h"

#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>

namespace tilesmith {

bool Main::WriteMapFile(const QString& path)
{
    const MapSource src = SourceOf(M);
    const QString problem = MapWriteProblem(src);
    if (!problem.isEmpty()) {
        fr::msgBox(QStringLiteral("地图没有保存：%1").arg(problem), fr::vbExclamation);
        return false;
    }
    QString error;
    if (!fr::writeFileAtomic(path, SerializeMap(src), error)) {
        fr::msgBox(QStringLiteral("地图没有保存：%1\r\n原来的文件没有改变。").arg(error), fr::vbExclamation);
        return false;
    }
    return true;
}

namespace {

QString noMapText()
{
    return QStringLiteral("还没有打开或新建地图，没有可保存的内容。");
}

} // namespace

void Main::Menu_SaveMap_Click()
{
    if (M.MapPath.isEmpty()) {
        Menu_SaveAsAnotherMap_Click();
        return;
    }
    if (!HasMap()) {
        fr::msgBox(noMapText());
        return;
    }
    if (!WriteMapFile(M.MapPath))
        return;
    SetStatus(QStringLiteral("保存成功! "));
    MapSaved = -1;
    MapEdited = false;
}

QString Main::SaveAsFolder() const
{
    // The name field shows only the remembered name's last part, so the
    // dialog starts beside that file; with none (or its folder gone), in the
    // game's map folder, where maps belong.
    if (!Dialog1.fileName.isEmpty()) {
        const QFileInfo last(Dialog1.fileName);
        if (last.absoluteDir().exists())
            return last.absolutePath() + QLatin1Char('/');
    }
    const QString maps = fr::ci::resolve(GetParentPath(M.AppDir, 1) + QStringLiteral("map"));
    return QFileInfo(maps).isDir() ? maps + QLatin1Char('/') : M.AppDir;
}

void Main::Menu_SaveAsAnotherMap_Click()
{
    // With nothing open there is nothing to write, and a file chosen now
    // would be replaced by an empty header.
    if (!HasMap()) {
        fr::msgBox(noMapText());
        return;
    }
    Dialog1.initDir = SaveAsFolder();
    Dialog1.filter = QStringLiteral("地图文件|*.jmap|所有文件|*.*");
    Dialog1.title = QStringLiteral("另存地图");
    QString chosen = fr::dialogs().saveFile(Dialog1);
    if (chosen.isEmpty())
        return;
    chosen = fr::ci::resolve(QFileInfo(chosen).absoluteFilePath());
    if (!WriteMapFile(chosen))
        return;
    SetStatus(QStringLiteral("另存成功! "));
    M.MapPath = chosen;
    ShowMapInfo();
    fr::msgBox(QStringLiteral("已存为") + M.MapPath);
    MapSaved = -1;
    MapEdited = false;
}

// Empties every layer in place; the size, the path, the role's direction and
// the placed NPCs and monsters stay.
void Main::Menu_ClearScreen_Click()
{
    MainPic->setBoxSize(32, 32);
    M.BrushWidth = 32;
    M.BrushHeight = 32;
    M.StepX = M.BrushWidth;
    M.StepY = M.BrushHeight;
    M.EraserMode = 0;
    MapSaved = 0;
    MapEdited = true;
    M.TakeOutMode = 0;
    M.TakeOutBrush = 0;
    M.TakeOutInfo = false;
    // The brush stays what it records.
    ShowBrushCursor();
    Picture1->pic().cls();
    Picture1->pic().setPicture(QImage());
    for (int layer : {1, 2, 4, 3, 5, 6, 7, 8, 9}) {
        fr::PicImage& p = LayPicture(layer);
        p.setPicture(QImage());
        p.cls();
    }
    Picture1->refresh();
    M.RoleX = -1;
    M.RoleY = -1;
    for (int layer = 1; layer <= TileLayers; ++layer)
        std::fill(M.LayData(layer).begin(), M.LayData(layer).end(), TileRec{});
    ShowMapInfo();
    hideAndShow();
}

bool Main::KeepEditedMap(const QString& question)
{
    if (!MapEdited || !HasMap())
        return false;
    // As the close question: No, the answer that keeps the map, is the
    // default, so Enter loses nothing.
    return fr::msgBox(question, fr::vbYesNo + fr::vbExclamation + fr::vbDefaultButton2) != fr::vbYes;
}

// Only asks for the size: the open map, its path, its saved mark and its
// placements stay as they are until the dialog creates the new map, so a
// cancel loses nothing.
void Main::Menu_NewMap_Click()
{
    Size& size = SizeForm.get();
    size.show();
    size.raise();
    size.activateWindow();
    hide();
}

} // namespace tilesmith
