// Layer switching, views and the smaller commands of Main: the layer and
// view menus, hiding the event layer, refreshing, the information panel, the
// game's screen size, help, the thumbnail and the sheet menus.
#include "main_form.h"

#include "help_form.h"
#include "picker_form.h"
#include "thumbnail_form.h"

#include <QFrame>

namespace tilesmith {

namespace {

const char* const kEditTexts[LayerPictures] = {"编辑地面层1", "编辑物体层2", "编辑物体层3", "编辑物体层4", "编辑物体层5",
                                               "编辑物体层6", "编辑天空层7", "编辑事件层8", "编辑NPC层9"};
const char* const kMenuTexts[LayerPictures] = {"地面层1", "物体层2", "物体层3", "物体层4", "物体层5",
                                               "物体层6", "天空层7", "事件层",  "NPC层"};
const char* const kViewTexts[LayerPictures] = {"显示地面层1", "显示物体层2", "显示物体层3", "显示物体层4", "显示物体层5",
                                               "显示物体层6", "显示天空层7", "显示事件层8", "显示NPC层9"};

QString layerText(const char* const (&table)[LayerPictures], int n)
{
    if (n < 1 || n > LayerPictures)
        throw fr::RuntimeError(QStringLiteral("图层编号 %1 无效").arg(n));
    return QString::fromUtf8(table[n - 1]);
}

} // namespace

QString EditLayerText(int n)
{
    return layerText(kEditTexts, n);
}

QString LayerMenuText(int n)
{
    return layerText(kMenuTexts, n);
}

QString ViewLayerText(int n)
{
    return layerText(kViewTexts, n);
}

// ---- Layer menus: the edit layer with the short caption text ----------------

void Main::editLayer(int n)
{
    M.EditLay = static_cast<int16_t>(n);
    M.EditLayText = LayerMenuText(n);
}

void Main::Menu_GroundLay_Click() { editLayer(1); }
void Main::Menu_ObjectLay2_Click() { editLayer(2); }
void Main::Menu_ObjectLay3_Click() { editLayer(3); }
void Main::Menu_ObjectLay4_Click() { editLayer(4); }
void Main::Menu_ObjectLay5_Click() { editLayer(5); }
void Main::Menu_ObjectLay6_Click() { editLayer(6); }
void Main::Menu_SkyLay_Click() { editLayer(7); }
void Main::Menu_IncidentLay_Click() { editLayer(8); }
void Main::Menu_NpcLay_Click() { editLayer(9); }

// ---- View menus: one layer alone, or all of them again ----------------------

void Main::seeLayer(int n)
{
    for (int i = 1; i <= LayerPictures; ++i)
        if (i != n)
            LayerSoloFlags[i - 1] = 0;
    // With no map the pictures are empty: the texts and flags still change.
    if (LayerSoloFlags[n - 1] < 1) {
        SoloView = -1;
        if (HasMap())
            SoloComposite(n);
        hideAndShow();
        LayerSoloFlags[n - 1] = 1;
        M.ViewText = ViewLayerText(n);
    } else {
        if (HasMap())
            FullComposite();
        hideAndShow();
        LayerSoloFlags[n - 1] = 0;
        SoloView = 0;
        M.ViewText = QStringLiteral("显示全部层");
    }
    M.EditLayText = EditLayerText(n);
    M.EditLay = static_cast<int16_t>(n);
}

void Main::Menu_SeeGround1_Click() { seeLayer(1); }
void Main::Menu_SeeObject2_Click() { seeLayer(2); }
void Main::Menu_SeeObject3_Click() { seeLayer(3); }
void Main::Menu_SeeObject4_Click() { seeLayer(4); }
void Main::Menu_SeeObject5_Click() { seeLayer(5); }
void Main::Menu_SeeObject6_Click() { seeLayer(6); }
void Main::Menu_SeeSky7_Click() { seeLayer(7); }
void Main::Menu_SeeIncident8_Click() { seeLayer(8); }
void Main::Menu_SeeNpc9_Click() { seeLayer(9); }

// The event layer on and off; independent of the views.
void Main::Menu_HideIncidentLay_Click()
{
    if (EventLayerHidden == 0) {
        M.ViewText = QStringLiteral("显示全部(除事件层)");
        if (HasMap())
            CompositeWithoutEvents();
        EventLayerHidden = 1;
    } else {
        M.ViewText = QStringLiteral("显示全部");
        if (HasMap())
            FullComposite();
        EventLayerHidden = 0;
    }
}

void Main::Menu_RefreshAll_Click()
{
    if (HasMap())
        FullComposite();
}

void Main::Menu_TileInfoFrameSwitch_Click()
{
    InfoFrame->setHidden(!InfoFrame->isHidden());
}

// The game's screen size, used by the size dialog and the thumbnail. Both
// answers must be whole numbers 1..32767 in digits; a cancel keeps both
// values silently, an invalid answer keeps them with a message.
void Main::Menu_SetScreenSize_Click()
{
    const QString invalid = QStringLiteral("分辨率无效：宽和高都须是 1 到 32767 的整数。原来的设置没有改变。");
    QString width;
    if (!fr::dialogs().inputBox(QStringLiteral("宽(像素):"), QString(), QStringLiteral("640"), width))
        return;
    int w = 0;
    if (!DigitsInRange(width, 1, 32767, w)) {
        fr::msgBox(invalid, fr::vbExclamation);
        return;
    }
    QString height;
    if (!fr::dialogs().inputBox(QStringLiteral("高(像素):"), QString(), QStringLiteral("480"), height))
        return;
    int h = 0;
    if (!DigitsInRange(height, 1, 32767, h)) {
        fr::msgBox(invalid, fr::vbExclamation);
        return;
    }
    M.GameWidth = fr::NumOrText::fromText(width);
    M.GameHeight = static_cast<int16_t>(h);
}

void Main::Menu_Help_Click()
{
    const QStringList lines = {
        QStringLiteral("tilesmith 地图编辑器 使用帮助"),
        QString(),
        QStringLiteral("★地图是怎么构成的？"),
        QStringLiteral("由7层地图叠加而成，第7层为顶层;"),
        QStringLiteral("每层地图都由32*32的图块拼接而成。"),
        QStringLiteral("人物在游戏中是介于第4层与第5层之间的;"),
        QStringLiteral("树的树叶部分要遮住人，所以得放第5层，树根部分则要被人挡住，所以放第4层。就是这个原理，差不多明白了吧~"),
    };
    fr::msgBox(lines.join(QStringLiteral("\r\n")));
}

void Main::ShowHelpForm()
{
    HelpForm& f = HelpFormRef.get();
    f.show();
    f.raise();
    f.activateWindow();
}

void Main::Menu_WholeMap_Click()
{
    WholeMapPic& f = WholeMapPicForm.get();
    // Every opening shows the map as it is now, scaled once and sized
    // before the window shows.
    f.Redraw();
    f.show();
    f.raise();
    f.activateWindow();
}

// ---- The tile-sheet picker --------------------------------------------------

const QString Main::SheetCode = QStringLiteral("2046");

void Main::ShowPicker()
{
    hide();
    PicResource& p = PicResourceForm.get();
    p.show();
    p.raise();
    p.activateWindow();
}

void Main::openSheet(const QString& name)
{
    if (name == QLatin1String("map3")) {
        QString answer;
        if (!fr::dialogs().inputBox(QStringLiteral("此资源图被加密，请输入密码:"), QString(), QString(), answer) ||
            answer != SheetCode) {
            fr::msgBox(QStringLiteral("密码错！对不起，你不能使用此资源！"));
            return;
        }
    }
    M.BrushSheetName = name;
    M.EraserMode = 0;
    M.TakeOutMode = 0;
    M.TakeOutBrush = 0;
    M.TakeOutInfo = false;
    ShowPicker();
    PicResource& p = PicResourceForm.get();
    p.MainPic->move(0, 0);
    p.MainPic->setBoxSize(p.MainPic->width(), 32);
    M.CurSheet = name;
}

void Main::Menu_Resource_r1_Click() { openSheet(QStringLiteral("map1")); }
void Main::Menu_Resource_r2_Click() { openSheet(QStringLiteral("map2")); }
void Main::Menu_Resource_r3_Click() { openSheet(QStringLiteral("map3")); }

} // namespace tilesmith
