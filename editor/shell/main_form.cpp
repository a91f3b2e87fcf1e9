#include "main_form.h"

#include "embedded.h"
#include "help_form.h"
#include "picker_form.h"
#include "size_form.h"
#include "thumbnail_form.h"

#include "platform/blit.h"
#include "platform/events.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace tilesmith {

namespace {

void setBackground(QWidget* w, QRgb c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(c));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setPicture(fr::PicImage& pic, const QImage& img)
{
    pic.setPicture(img);
    pic.autoSize();
}

} // namespace

Main::Main(Module1& data, Module2& procs, ToolForms* tools, std::function<void()> showSplash)
    : Timer1(this),
      Timer2(this),
      SizeForm([this] { return new Size(*this); }),
      PicResourceForm([this] { return new PicResource(*this); }),
      WholeMapPicForm([this] { return new WholeMapPic(*this); }),
      HelpFormRef([] { return new HelpForm; }),
      M(data),
      P(procs),
      tools_(tools),
      showSplash_(std::move(showSplash))
{
    setWindowTitle(QStringLiteral("tilesmith"));
    resize(800, 600);
    buildControls();
    buildMenus();
    Timer1.setInterval(50);
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.setInterval(3000);
    Timer2.onTimer = [this] { Timer2_Timer(); };
    keyPreview_ = std::make_unique<fr::KeyPreview>(this, this);
}

Main::~Main()
{
    // The composite goes first, so that no layer picture has to give it
    // pixels of its own on the way out.
    Picture1->pic().cls();
}

namespace {

// A layer picture's tile made again from the cells under it, each drawn at
// its own map position as opening draws it.
class LayerRecipe : public fr::PicRecipe {
public:
    LayerRecipe(std::vector<QImage> sources, const Module1& m, int layer)
        : fr::PicRecipe(std::move(sources)), M(m), layer_(layer)
    {
    }
    bool rebuild(const QRect& area, std::vector<fr::PicDraw>& out) const override
    {
        if (layer_ < 1 || layer_ > 8 || M.TileCount <= 0)
            return false;
        const int W = int(M.MapWidth.number());
        const std::vector<TileRec>& cells = M.LayData(layer_ == 8 ? 1 : layer_);
        if (W <= 0)
            return false;
        for (int r = area.top() / 32; r <= area.bottom() / 32; ++r)
            for (int c = area.left() / 32; c <= area.right() / 32 && c < W; ++c) {
                const size_t i = size_t(r) * size_t(W) + size_t(c);
                if (i >= cells.size())
                    return false;
                const TileRec& t = cells[i];
                if (layer_ == 8) {
                    if (t.obstacle == 1)
                        out.push_back({t.mapX, t.mapY, 0, 0, 32, 32, ObstacleSource, false});
                    if (t.event != "N")
                        out.push_back({t.mapX, t.mapY, 0, 0, 32, 32, EventSource, true});
                } else if (t.sheet != -1) {
                    if (t.sheet < 0 || t.sheet > 4)
                        return false;
                    out.push_back({t.mapX, t.mapY, t.srcX, t.srcY, 32, 32, uint8_t(t.sheet), false});
                }
            }
        return true;
    }

private:
    const Module1& M;
    int layer_;
};

} // namespace

std::shared_ptr<const fr::PicRecipe> Main::NewLayerRecipe(int layer) const
{
    std::vector<QImage> sources;
    for (const fr::PicImage& sheet : ReTempPic)
        sources.push_back(sheet.snapshot());
    sources.push_back(ObstaclePic.snapshot());
    sources.push_back(IncidentPic.snapshot());
    return std::make_shared<LayerRecipe>(std::move(sources), M, layer);
}

bool Main::AddLayerSource(int layer, const QImage& source, uint8_t& index)
{
    fr::PicImage& pic = LayPicture(layer);
    const fr::PicRecipe* now = pic.recipe().get();
    if (!now)
        return false;
    // A picture kept already serves again, and one that no draw copies from
    // any more (a brush whose fill a later fill covered) gives up its place:
    // fill after fill keeps only the brushes that still show.
    const std::bitset<256> drawn = pic.sourcesDrawn();
    int place = -1;
    for (int i = EventSource + 1; i < now->sourceCount(); ++i) {
        if (now->source(i) == source) {
            index = uint8_t(i);
            return true;
        }
        if (place < 0 && !drawn.test(size_t(i)))
            place = i;
    }
    if (place < 0 && now->sourceCount() > UINT8_MAX)
        return false;
    std::vector<QImage> sources;
    for (int i = 0; i < now->sourceCount(); ++i)
        sources.push_back(now->source(i));
    if (place < 0) {
        place = int(sources.size());
        sources.push_back(source);
    } else {
        sources[size_t(place)] = source;
    }
    index = uint8_t(place);
    pic.setRecipe(std::make_shared<LayerRecipe>(std::move(sources), M, layer));
    return true;
}

fr::PicImage& Main::LayPicture(int layer)
{
    switch (layer) {
    case 1: return Ground_Lay;
    case 2: return Object2_Lay;
    case 3: return Object3_Lay;
    case 4: return Object4_Lay;
    case 5: return Object5_Lay;
    case 6: return Object6_Lay;
    case 7: return Sky_Lay;
    case 8: return Incident_Lay;
    case 9: return Npc_Lay;
    default: break;
    }
    throw fr::RuntimeError(QStringLiteral("图层编号 %1 无效").arg(layer));
}

int Main::scrollExtent() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void Main::buildControls()
{
    central_ = new QWidget(this);
    setCentralWidget(central_);

    Picture2 = new QWidget(central_);
    setBackground(Picture2, fr::bgr(0x400000)); // dark blue
    Picture1 = new fr::PicBox(Picture2);
    Picture1->hide();
    // The map-sized pictures keep only the tiles drawn into.
    Picture1->pic().setTiled(true);
    for (int layer = 1; layer <= LayerPictures; ++layer)
        LayPicture(layer).setTiled(true);
    MainPic = new fr::PicBox(Picture1);
    MainPic->setBoxSize(32, 32);
    MainPic_ = new fr::PicBox(Picture1);
    MainPic_->setBoxSize(32, 32);
    MainPic_->hide();
    // The mouse on the map belongs to the canvas.
    MainPic->onMouseDown = [this](int b, int sh, int x, int y) {
        if (canvas_)
            canvas_->MainPic_MouseDown(b, sh, x, y);
    };
    MainPic->onMouseMove = [this](int b, int sh, int x, int y) {
        if (canvas_)
            canvas_->MainPic_MouseMove(b, sh, x, y);
    };
    MainPic->onMouseUp = [this](int b, int sh, int x, int y) {
        if (canvas_)
            canvas_->MainPic_MouseUp(b, sh, x, y);
    };
    Picture1->onMouseDown = [this](int b, int sh, int x, int y) {
        if (canvas_)
            canvas_->Picture1_MouseDown(b, sh, x, y);
    };
    Picture1->onMouseMove = [this](int b, int sh, int x, int y) {
        if (canvas_)
            canvas_->Picture1_MouseMove(b, sh, x, y);
    };
    for (QFrame** line : {&Line1, &Line2, &Line3, &Line4}) {
        *line = new QFrame(Picture1);
        setBackground(*line, qRgb(255, 255, 255));
        (*line)->hide();
    }

    setPicture(ObstaclePic, embedded::obstacleMarker());
    setPicture(IncidentPic, embedded::eventMarker());
    setPicture(KillIncidentPic, embedded::eventEraserCursor());
    setPicture(EraImage, embedded::eraserCursor());
    setPicture(EraPic, embedded::blankSquare());
    setPicture(PictureRole, embedded::roleCells());

    HScroll1 = new QScrollBar(Qt::Horizontal, central_);
    VScroll1 = new QScrollBar(Qt::Vertical, central_);
    for (QScrollBar* bar : {HScroll1, VScroll1}) {
        bar->setRange(0, 0);
        bar->setSingleStep(32);
        bar->setPageStep(32);
        bar->setFocusPolicy(Qt::NoFocus);
    }
    const int extent = scrollExtent();
    HScroll1->setFixedHeight(extent);
    VScroll1->setFixedWidth(extent);
    // valueChanged comes both for a set value and while the thumb is dragged.
    connect(HScroll1, &QScrollBar::valueChanged, this, fr::guard([this](int) { HScroll1_Change(); }));
    connect(VScroll1, &QScrollBar::valueChanged, this, fr::guard([this](int) { VScroll1_Change(); }));

    buildInfoFrame();
}

void Main::buildInfoFrame()
{
    InfoFrame = new QFrame(central_);
    InfoFrame->setFrameShape(QFrame::Box);
    setBackground(InfoFrame, qRgb(255, 255, 192));
    InfoFrame->setMouseTracking(true);
    QFont small = InfoFrame->font();
    small.setPixelSize(12);
    InfoFrame->setFont(small);

    const int rowH = 15;
    const int width = 186;
    int y = 4;
    auto caption = [&](const QString& text, int x, int w) {
        auto* l = new QLabel(text, InfoFrame);
        l->setGeometry(x, y, w, rowH);
        return l;
    };
    // A value label beside its caption, showing `initial` until written.
    auto pair = [&](const QString& text, int captionWidth, const QString& initial) {
        caption(text, 6, captionWidth);
        QLabel* value = caption(initial, 6 + captionWidth, width - 12 - captionWidth);
        y += rowH;
        return value;
    };
    auto header = [&](const QString& text) {
        QLabel* l = caption(text, 6, width - 12);
        l->setAlignment(Qt::AlignCenter);
        y += rowH;
    };
    const QString zero = QStringLiteral("0");
    QLabel* title = caption(QStringLiteral("信息栏"), 6, width - 12);
    QFont bold = small;
    bold.setBold(true);
    title->setFont(bold);
    y += rowH;
    TF_maininfo = new QLabel(QStringLiteral("主 信 息"), InfoFrame);
    TF_maininfo->setGeometry(6, y, width - 12, 2 * rowH);
    TF_maininfo->setWordWrap(true);
    y += 2 * rowH;
    header(QStringLiteral("---地图信息---"));
    TF_mapdir = pair(QStringLiteral("地图名:"), 60, QStringLiteral("N"));
    TF_mapsize = pair(QStringLiteral("尺寸:"), 60, zero);
    header(QStringLiteral("---当前顶层图块---"));
    TF_index = pair(QStringLiteral("index:"), 60, zero);
    // The top-most layer in bold, the tile's picture beside it.
    TF_lay = pair(QStringLiteral("Lay:"), 60, zero);
    TF_lay->setFont(bold);
    TF_lay->resize(40, rowH);
    TF_repic = new fr::PicBox(InfoFrame, qRgb(255, 255, 192));
    TF_repic->setBoxSize(32, 32);
    TF_repic->move(width - 6 - 32, y - rowH);
    TF_rX = pair(QStringLiteral("rX:"), 60, zero);
    TF_rY = pair(QStringLiteral("rY:"), 60, zero);
    TF_mX = pair(QStringLiteral("mX:"), 60, zero);
    TF_mY = pair(QStringLiteral("mY:"), 60, zero);
    TF_ResID = pair(QStringLiteral("ResID:"), 60, zero);
    TF_obstacle = pair(QStringLiteral("obstacle:"), 60, zero);
    TF_incident = pair(QStringLiteral("incident:"), 60, QStringLiteral("N"));
    TF_anpc = pair(QStringLiteral("Anpc:"), 60, QStringLiteral("-1"));
    TF_monster = pair(QStringLiteral("Monster:"), 60, QStringLiteral("-1"));
    header(QStringLiteral("---状态---"));
    TF_largemode = pair(QStringLiteral("大图模式:"), 110, QStringLiteral("False"));
    TF_takeoutinfo = pair(QStringLiteral("使用抽取模式画图:"), 110, QStringLiteral("False"));
    TF_takeoutmode = pair(QStringLiteral("抽取中:"), 110, QStringLiteral("False"));
    TF_takeoutsrclay = pair(QStringLiteral("抽取的源层:"), 110, QStringLiteral("1"));
    TF_takeoutsrc_rename = pair(QStringLiteral("抽取源re_name:"), 110, QStringLiteral("null"));
    TF_takeoutsrc_rX = pair(QStringLiteral("抽取源rX:"), 110, zero);
    TF_takeoutsrc_rY = pair(QStringLiteral("抽取源rY:"), 110, zero);
    y += 4;
    InfoFrame->resize(width, y);

    fr::onEvent(InfoFrame, QEvent::MouseMove, [this](QEvent*) { InfoFrame_MouseMove(); });
}

void Main::buildMenus()
{
    struct Item {
        const char* name;
        QString caption;
    };
    auto addMenu = [this](const char* name, const QString& title, std::initializer_list<Item> items) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        for (const Item& it : items)
            menu->addAction(it.caption)->setObjectName(QLatin1String(it.name));
        return menu;
    };
    auto addCommand = [this](const char* name, const QString& caption) {
        QAction* a = menuBar()->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };

    Menu_File = addMenu("Menu_File", QStringLiteral("文件"),
                        {{"Menu_NewMap", QStringLiteral("新建地图")},
                         {"Menu_OpenMap", QStringLiteral("打开地图")},
                         {"Menu_SaveAsAnotherMap", QStringLiteral("另存地图")},
                         {"Menu_SaveMap", QStringLiteral("保存地图(Ctrl+S)")},
                         {"Menu_OpenRecentMap", QStringLiteral("最近打开文件(Ctrl+D)")},
                         {"Menu_Exit", QStringLiteral("退出(Alt+F4)")}});
    Menu_LayEdit = addMenu("Menu_LayEdit", QStringLiteral("层编辑"),
                           {{"Menu_GroundLay", QStringLiteral("地面层1(F1)")},
                            {"Menu_ObjectLay2", QStringLiteral("物体层2(F2)")},
                            {"Menu_ObjectLay3", QStringLiteral("物体层3(F3)")},
                            {"Menu_ObjectLay4", QStringLiteral("物体层4(F4)")},
                            {"Menu_ObjectLay5", QStringLiteral("物体层5(F5)")},
                            {"Menu_ObjectLay6", QStringLiteral("物体层6(F6)")},
                            {"Menu_SkyLay", QStringLiteral("天空层7(F7)")},
                            {"Menu_IncidentLay", QStringLiteral("事件层8(F8)")},
                            {"Menu_NpcLay", QStringLiteral("NPC层9(F9)")}});
    Menu_LayWatch = addMenu("Menu_LayWatch", QStringLiteral("层查看"),
                            {{"Menu_SeeGround1", QStringLiteral("地面层1(1)")},
                             {"Menu_SeeObject2", QStringLiteral("物体层2(2)")},
                             {"Menu_SeeObject3", QStringLiteral("物体层3(3)")},
                             {"Menu_SeeObject4", QStringLiteral("物体层4(4)")},
                             {"Menu_SeeObject5", QStringLiteral("物体层5(5)")},
                             {"Menu_SeeObject6", QStringLiteral("物体层6(6)")},
                             {"Menu_SeeSky7", QStringLiteral("天空层7(7)")},
                             {"Menu_SeeIncident8", QStringLiteral("事件层8(8)")},
                             {"Menu_SeeNpc9", QStringLiteral("NPC层9(9)")}});
    Menu_SetParameter = addMenu("Menu_SetParameter", QStringLiteral("设置"),
                                {{"Menu_HideIncidentLay", QStringLiteral("显示/隐藏事件层")},
                                 {"Menu_WholeMap", QStringLiteral("查看缩略图(S)")},
                                 {"Menu_TileInfoFrameSwitch", QStringLiteral("开/关图块信息栏(C)")},
                                 {"Menu_ClearScreen", QStringLiteral("清空所有层(包括数据) (Delete)")},
                                 {"Menu_SetScreenSize", QStringLiteral("设置游戏分辨率")}});
    Menu_Resource = addMenu("Menu_Resource", QStringLiteral("资源"),
                            {{"Menu_Resource_r1", QStringLiteral("地图1")},
                             {"Menu_Resource_r2", QStringLiteral("地图2")},
                             {"Menu_Resource_r3", QStringLiteral("地图3")}});
    Menu_Eraser = addMenu("Menu_Eraser", QStringLiteral("橡皮(Q)"),
                          {{"Menu_SelectSmallEraser", QStringLiteral("小型(32*32)")},
                           {"Menu_SelectMiddleEraser", QStringLiteral("中型(64*64)")},
                           {"Menu_SelectLargeEraser", QStringLiteral("大型(96*96)")},
                           {"Menu_IncidentEra", QStringLiteral("事件橡皮")}});
    Menu_FillAll = addCommand("Menu_FillAll", QStringLiteral("填充(X)"));
    Menu_SetObstacle = addCommand("Menu_SetObstacle", QStringLiteral("障碍(E)"));
    Menu_Spinner = addCommand("Menu_Spinner", QStringLiteral("微调(Z)"));
    Menu_RefreshAll = addCommand("Menu_RefreshAll", QStringLiteral("刷新(F)"));
    Menu_SetIncident = addCommand("Menu_SetIncident", QStringLiteral("脚本编辑器(Space)"));
    Menu_About = addMenu("Menu_About", QStringLiteral("关于"),
                         {{"Menu_Help", QStringLiteral("帮助(F10)")}, {"Menu_Logo", QStringLiteral("宣传画")}});
    connectMenus();
}

void Main::connectMenus()
{
    // No shortcuts on the actions: the keys go through the form's key
    // handler, which sees them first.
    auto on = [this](const char* name, auto handler) {
        QAction* a = MenuItem(QLatin1String(name));
        Q_ASSERT(a);
        connect(a, &QAction::triggered, this, fr::guard([handler](bool) { handler(); }));
    };
    auto canvas = [this](void (CanvasServices::*command)()) {
        return [this, command] {
            if (canvas_)
                (canvas_->*command)();
        };
    };
    on("Menu_NewMap", [this] { Menu_NewMap_Click(); });
    on("Menu_OpenMap", [this] { Menu_OpenMap_Click(); });
    on("Menu_SaveAsAnotherMap", [this] { Menu_SaveAsAnotherMap_Click(); });
    on("Menu_SaveMap", [this] { Menu_SaveMap_Click(); });
    on("Menu_OpenRecentMap", [this] { Menu_OpenRecentMap_Click(); });
    on("Menu_Exit", [this] { Menu_Exit_Click(); });
    for (int n = 1; n <= LayerPictures; ++n) {
        static const char* edit[] = {"Menu_GroundLay",  "Menu_ObjectLay2", "Menu_ObjectLay3",
                                     "Menu_ObjectLay4", "Menu_ObjectLay5", "Menu_ObjectLay6",
                                     "Menu_SkyLay",     "Menu_IncidentLay", "Menu_NpcLay"};
        static const char* see[] = {"Menu_SeeGround1", "Menu_SeeObject2", "Menu_SeeObject3",
                                    "Menu_SeeObject4", "Menu_SeeObject5", "Menu_SeeObject6",
                                    "Menu_SeeSky7",    "Menu_SeeIncident8", "Menu_SeeNpc9"};
        on(edit[n - 1], [this, n] { editLayer(n); });
        on(see[n - 1], [this, n] { seeLayer(n); });
    }
    on("Menu_HideIncidentLay", [this] { Menu_HideIncidentLay_Click(); });
    on("Menu_WholeMap", [this] { Menu_WholeMap_Click(); });
    on("Menu_TileInfoFrameSwitch", [this] { Menu_TileInfoFrameSwitch_Click(); });
    on("Menu_ClearScreen", [this] { Menu_ClearScreen_Click(); });
    on("Menu_SetScreenSize", [this] { Menu_SetScreenSize_Click(); });
    on("Menu_Resource_r1", [this] { Menu_Resource_r1_Click(); });
    on("Menu_Resource_r2", [this] { Menu_Resource_r2_Click(); });
    on("Menu_Resource_r3", [this] { Menu_Resource_r3_Click(); });
    on("Menu_SelectSmallEraser", canvas(&CanvasServices::Menu_SelectSmallEraser_Click));
    on("Menu_SelectMiddleEraser", canvas(&CanvasServices::Menu_SelectMiddleEraser_Click));
    on("Menu_SelectLargeEraser", canvas(&CanvasServices::Menu_SelectLargeEraser_Click));
    on("Menu_IncidentEra", canvas(&CanvasServices::Menu_IncidentEra_Click));
    on("Menu_FillAll", canvas(&CanvasServices::Menu_FillAll_Click));
    on("Menu_SetObstacle", canvas(&CanvasServices::Menu_SetObstacle_Click));
    on("Menu_Spinner", canvas(&CanvasServices::Menu_Spinner_Click));
    on("Menu_RefreshAll", [this] { Menu_RefreshAll_Click(); });
    on("Menu_SetIncident", [this] { Menu_SetIncident_Click(); });
    on("Menu_Help", [this] { Menu_Help_Click(); });
    on("Menu_Logo", [this] { Menu_Logo_Click(); });
}

QAction* Main::MenuItem(const QString& name) const
{
    const QList<QAction*> all = findChildren<QAction*>(name);
    return all.isEmpty() ? nullptr : all.first();
}

void Main::SetEditMenusEnabled(bool on)
{
    editMenusEnabled_ = on;
    for (QMenu* m : {Menu_LayEdit, Menu_LayWatch, Menu_SetParameter, Menu_Resource, Menu_Eraser})
        m->menuAction()->setEnabled(on);
    for (QAction* a : {Menu_FillAll, Menu_SetObstacle, Menu_Spinner, Menu_RefreshAll})
        a->setEnabled(on);
}

void Main::ShowBrushCursor()
{
    M.LargeMode = false;
    M.BrushWidth = 32;
    M.BrushHeight = 32;
    MainPic->setBoxSize(32, 32);
    MainPic->pic().setPicture(QImage());
    MainPic->pic().setBack(fr::keyColour);
    MainPic->pic().cls();
    if (M.BrushSheet >= 0 && M.BrushSheet < int(ReTempPic.size()))
        fr::bitBlt(MainPic->pic(), 0, 0, 32, 32, ReTempPic[size_t(M.BrushSheet)], int(M.BrushX), M.BrushY);
    MainPic->pic().setPicture(MainPic->pic().snapshot());
    MainPic->refresh();
}

void Main::formLoad()
{
    M.CurSheet = QStringLiteral("map1");
    M.BrushSheetName = M.CurSheet;
    M.NpcPlacing = 0;
    M.NpcCount = 0;
    M.MonsterCount = 0;
    M.MagicCount = 0;
    EraPic.setPicture(EraPic.image().copy());
    M.EditLay = 1;
    M.EditLayText = QStringLiteral("编辑地面层1");
    M.ViewText = QStringLiteral("显示全部层");
    M.LargeMode = false;
    M.TakeOutMode = 0;
    M.TakeOutInfo = false;
    BoxMoved = false;
    EraserOn = 0;
    M.SpinnerMode = 0;
    MainPic->move(0, 0);
    Picture2->move(0, 0);
    M.BrushWidth = 32;
    M.BrushHeight = 32;
    M.StepX = M.BrushWidth;
    M.StepY = M.BrushHeight;
    EraserSize = 32;
    M.GameWidth = fr::NumOrText::fromNumber(640);
    M.GameHeight = 480;
    const QSize screen = fr::screenSize();
    M.ScreenWidth = screen.width();
    M.ScreenHeight = fr::toInt16(screen.height());
    MapSaved = 0;
    SoloView = 0;
    LayerSoloFlags.fill(0);
    formResize();
    SetEditMenusEnabled(false);
    Timer1.setEnabled(true);
}

void Main::SetScrollMaxima()
{
    // With no map open the size counts as 0.
    const double w = 32.0 * M.MapWidth.number();
    const double h = 32.0 * M.MapHeight.number();
    const double hm = w - Picture2->width();
    const double vm = h - Picture2->height();
    HScroll1->setMaximum(hm > 0 ? int(hm) : 0);
    VScroll1->setMaximum(vm > 0 ? int(vm) : 0);
}

void Main::formResize()
{
    const int W = central_->width();
    const int H = central_->height();
    const int vbar = VScroll1->width();
    const int hbar = HScroll1->height();
    // A very small window would give negative sizes; they stop at 0.
    Picture2->resize(std::max(0, W - vbar), std::max(0, H - hbar));
    VScroll1->move(W - vbar, VScroll1->y());
    HScroll1->move(HScroll1->x(), H - hbar);
    VScroll1->resize(vbar, std::max(0, H - 40));
    HScroll1->resize(std::max(0, W - 40), hbar);
    VScroll1->move(VScroll1->x(), 0);
    HScroll1->move(0, HScroll1->y());
    SetScrollMaxima();
    InfoFrame->move(W - vbar - InfoFrame->width(), 0);
    InfoFrame->raise();
}

void Main::HScroll1_Change()
{
    Picture1->move(-HScroll1->value(), Picture1->y());
}

void Main::VScroll1_Change()
{
    Picture1->move(Picture1->x(), -VScroll1->value());
}

void Main::Timer1_Timer()
{
    setWindowTitle(QStringLiteral("☆tilesmith★ ") + M.EditLayText + QStringLiteral(" | ") + M.ViewText +
                   QStringLiteral(" | index:") + QString::number(M.CurIndex) + QStringLiteral(" | 坐标:") +
                   QString::number(MainPic->x()) + QStringLiteral(" ") + QString::number(MainPic->y()));
    if (!TF_maininfo->text().isEmpty())
        Timer2.setEnabled(true);
}

void Main::Timer2_Timer()
{
    TF_maininfo->clear();
    Timer2.setEnabled(false);
}

void Main::InfoFrame_MouseMove()
{
    if (InfoFrame->x() != 0)
        InfoFrame->move(0, 0);
    else
        InfoFrame->move(central_->width() - VScroll1->width() - InfoFrame->width(), 0);
}

void Main::SetStatus(const QString& text)
{
    TF_maininfo->setText(text);
}

void Main::ShowMapInfo()
{
    TF_mapdir->setText(StripExtension(GetFileName(M.MapPath)));
    TF_mapsize->setText(M.MapWidth.print() + QStringLiteral(" × ") + M.MapHeight.print());
}

void Main::layOver(const std::array<int, LayerPictures>& order, int count)
{
    // Laid when shown: only the tiles on the screen are made.
    std::vector<const fr::PicImage*> parts;
    for (int i = 0; i < count; ++i)
        parts.push_back(&LayPicture(order[i]));
    Picture1->pic().composeOf(parts);
    Picture1->refresh();
}

// Sprites (layer 9) lie between object layers 4 and 5, as in the game, and
// the event and obstacle markers on top.
void Main::FullComposite()
{
    layOver({1, 2, 3, 4, 9, 5, 6, 7, 8}, 9);
}

void Main::CompositeWithoutEvents()
{
    layOver({1, 2, 3, 4, 9, 5, 6, 7, 8}, 8);
}

void Main::SoloComposite(int layer)
{
    layOver({layer}, 1);
}

bool Main::formKeyDown(int keyCode, int shift)
{
    // Ctrl alone with A, S or D: file commands.
    if (shift == 2 && (keyCode == 'A' || keyCode == 'S' || keyCode == 'D')) {
        if (keyCode == 'A')
            Menu_OpenMap_Click();
        else if (keyCode == 'S')
            Menu_SaveMap_Click();
        else
            Menu_OpenRecentMap_Click();
        return true;
    }
    // Every other key ignores Shift and Ctrl.
    auto canvas = [this](void (CanvasServices::*command)()) {
        if (canvas_)
            (canvas_->*command)();
    };
    switch (keyCode) {
    case 27: // leave every tool for the tile-sheet picker
        M.TakeOutMode = 0;
        M.SavedLargeMode = M.LargeMode;
        MainPic->show();
        MainPic->move(0, 0);
        for (QFrame* line : {Line1, Line2, Line3, Line4})
            line->hide();
        M.EraserMode = 0;
        M.TakeOutMode = 0;
        M.TakeOutBrush = 0;
        M.TakeOutInfo = false;
        ShowPicker();
        return true;
    case 'W':
        scrollBy(VScroll1, -32);
        return true;
    case 'S':
        scrollBy(VScroll1, 32);
        return true;
    case 'A':
        scrollBy(HScroll1, -32);
        return true;
    case 'D':
        scrollBy(HScroll1, 32);
        return true;
    case 121: // F10
        ShowHelpForm();
        return true;
    case 'C':
        Menu_TileInfoFrameSwitch_Click();
        return true;
    case 'Z':
        canvas(&CanvasServices::Menu_Spinner_Click);
        return true;
    case 'X':
        canvas(&CanvasServices::Menu_FillAll_Click);
        return true;
    case 'Q':
        canvas(&CanvasServices::SwitchEraser);
        return true;
    case 'F':
        Menu_RefreshAll_Click();
        return true;
    case 'E':
        canvas(&CanvasServices::Menu_SetObstacle_Click);
        return true;
    case 32:
        Menu_SetIncident_Click();
        return true;
    case 46:
        Menu_ClearScreen_Click();
        return true;
    default:
        break;
    }
    if (keyCode >= 112 && keyCode <= 120) { // F1..F9: the layer commands
        const int n = keyCode - 111;
        editLayer(n);
        M.EditLayText = EditLayerText(n);
        M.EditLay = static_cast<int16_t>(n);
        if (n == 8)
            canvas(&CanvasServices::Menu_SetObstacle_Click);
        return true;
    }
    if (keyCode >= '1' && keyCode <= '9') { // the view commands
        seeLayer(keyCode - '0');
        return true;
    }
    return false;
}

void Main::scrollBy(QScrollBar* bar, int delta)
{
    const int v = bar->value() + delta;
    bar->setValue(std::clamp(v, 0, bar->maximum()));
    if (bar == VScroll1)
        VScroll1_Change();
    else
        HScroll1_Change();
}

void Main::Menu_SetIncident_Click()
{
    hide();
    if (tools_)
        tools_->showScriptEditor();
}

void Main::Menu_Logo_Click()
{
    if (showSplash_)
        showSplash_();
}

void Main::formQueryUnload(bool& cancel)
{
    if (MapSaved == -1) {
        fr::endProgram();
        return;
    }
    if (fr::msgBox(QStringLiteral("地图没有保存过，确定退出吗？"), fr::vbYesNo + fr::vbExclamation + fr::vbDefaultButton2) ==
        fr::vbYes)
        fr::endProgram();
    else
        cancel = true;
}

void Main::formUnload()
{
    fr::endProgram();
}

void Main::Menu_Exit_Click()
{
    fr::endProgram();
}

} // namespace tilesmith
