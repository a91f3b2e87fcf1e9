#include "graph.h"

#include <cinttypes>
#include <string>

#include "alert.h"
#include "game_state.h"
#include "platform/bmp.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "sound.h"

using plat::GBK;

Graph::Graph() = default;

Graph::~Graph()
{
    Alert("~graph");
    for (auto& pic : pictures) {
        ReleaseSurface(pic.surface);
        pic.rects.clear();
    }
    pictures.clear();
    // The map object is gone by now (it is built after the display), so its
    // surfaces themselves tell whether a map was loaded.
    const bool mapSurfaces = pNpc1 || pNpc2 || pMonster1 || pMonster2 || pMagic;
    if (mapSurfaces) {
        ReleaseSurface(pNpc1);
        ReleaseSurface(pNpc2);
        ReleaseSurface(pMonster1);
        ReleaseSurface(pMonster2);
        ReleaseSurface(pMagic);
        ReleaseSurface(black);
    }
    ReleaseSurface(back);
    ReleaseSurface(BUF);
    if (!plat::PlatformInstalled())
        return;
    plat::Display& d = plat::P().display();
    if (deviceUp)
        d.LeaveFullscreen();
    if (depthToRestore != 0) {
        if (!d.SetDesktopDepth(depthToRestore)) {
            d.ResetDisplaySettings();
            Alert(GBK("恢复显示模式到您原来的设置 失败！请手动恢复."));
        }
    }
    Alert("~            graph over                 ");
}

// ------------------------------------------------------------- configuration
void Graph::ReadConfig()
{
    const char* kName = "config.jcf";
    if (!FileExists(kName))
        return;
    FILE* f = OpenDataFile(kName, DataKind::Config);
    if (!f)
        return;
    struct Slot {
        int32_t* target;
        const char* what;
    };
    const Slot slots[5] = {{&g_FullScreen, "全屏"},
                           {&g_GameState, "启动状态"},
                           {&g_FrameLimit, "帧数限制"},
                           {&g_SoftAlpha, "软件透明"},
                           {&waveVolume, "音效音量"}};
    std::string problems;
    auto problem = [&](int line, const std::string& text) {
        if (!problems.empty())
            problems += "\n";
        problems += std::string(GBK("config.jcf 第")) + std::to_string(line) + GBK("行") + text;
    };
    int missingFrom = 0;
    for (int i = 0; i < 5; ++i) {
        const int c = std::getc(f);
        const bool atEnd = c == EOF;
        if (!atEnd)
            std::ungetc(c, f);
        if (atEnd && missingFrom == 0)
            missingFrom = i + 1;
        const std::string token = ReadToken(f, '0', '!');
        int32_t value = 0;
        const bool isNumber = numparse::ParseInt32(token, &value);
        *slots[i].target = StrToInt(token);
        if (!atEnd && !isNumber)
            problem(i + 1, std::string(GBK("（")) + GBK(slots[i].what) + GBK("）不是数字：\"") + token +
                               GBK("\"，按0处理"));
        if (i < 4)
            SkipLine(f);
    }
    std::fclose(f);
    if (missingFrom != 0)
        problem(missingFrom, GBK("起缺少值：配置文件不足五行，缺少的值按0处理"));
    if (g_GameState < 0 || g_GameState > 3)
        problem(2, std::string(GBK("（启动状态）超出0到3：")) + std::to_string(g_GameState));
    if (waveVolume < -10000 || waveVolume > 0)
        problem(5, std::string(GBK("（音效音量）超出-10000到0：")) + std::to_string(waveVolume));
    if (!problems.empty())
        AlertStr(problems);
}

void Graph::InitDisplay()
{
    ReadConfig();
    g_Sound.waveVolume = waveVolume;
    plat::P().Trace("config fullscreen=" + std::to_string(g_FullScreen) + " state=" + std::to_string(g_GameState) +
                    " limiter=" + std::to_string(g_FrameLimit) + " softalpha=" + std::to_string(g_SoftAlpha) +
                    " volume=" + std::to_string(waveVolume));

    plat::Display& d = plat::P().display();
    const int depth = d.DesktopDepth();
    if (depth == 16) {
        g_KeyColour = 0x001F;
    } else {
        depthToRestore = depth;
        ShowMessageBox(GBK("您现在的显示模式为非16位色，即将改成16位色获得更好的性能"), GBK("设置"));
        g_KeyColour = 0x001F;
        if (!d.SetDesktopDepth(16)) {
            d.ResetDisplaySettings();
            depthToRestore = 0;
            Alert(GBK("切换到16位色失败！"));
            g_Quit = 1;
            return;
        }
    }

    if (!d.CreateDevice()) {
        Alert(GBK("建立DIRECTDRAW对象失败!"));
    } else {
        deviceUp = true;
    }
    const bool full = g_FullScreen != 0;
    if (!d.SetCooperation(full))
        Alert(GBK("建立协作层失败!"));
    if (full && !d.SetFullscreenMode())
        Alert(GBK("设置显示模式失败!"));
    if (!d.CreatePrimary(full))
        Alert(GBK("创建主绘图页失败"));
    if (full) {
        if (!d.AttachBackBuffer()) {
            Alert(GBK("连接后缓冲区失败"));
        } else {
            // The flip chain's back buffer is ours in memory like every surface.
            back = plat::MakeSurface(640, 480).release();
        }
        g_KeyColour = 0x001F;
    }
}

void Graph::LoadResourcePictures()
{
    // The primary is the window itself: it shows black until the first frame.
    if (g_FullScreen == 0)
        back = CreatePlain(640, 480);
    FillSurface(back, 0);
    BUF = CreatePlain(640, 480);
    FillSurface(BUF, 0);
    black = CreatePlain(640, 480);
    FillSurface(black, 0);

    // The pictures, in the order of the table; a picture of one cell is cut
    // into a single cell of its own size.
    struct Builtin {
        const char* name;
        PicResourceName id;
        int32_t cellW, cellH; // 0: the whole picture
    };
    static const Builtin kBuiltins[] = {
        {"map1", PIC_MAP1, 0, 0},          {"map2", PIC_MAP2, 0, 0},
        {"map3", PIC_MAP3, 0, 0},          {"cursor", PIC_CURSOR, 0, 0},
        {"dialogframe", PIC_DIALOGFRAME, 0, 0}, {"role", PIC_ROLE, 32, 48},
        {"deadrole", PIC_DEADROLE, 32, 48}, {"npc", PIC_NPC, 32, 48},
        {"monster", PIC_MONSTER, 64, 64},  {"logoeffect1", PIC_LOGOEFFECT1, 256, 256},
        {"logowords", PIC_LOGOWORDS, 0, 0},
    };
    ShowTextAtOnce(GBK("正在载入资源图..."));
    for (const Builtin& b : kBuiltins) {
        const std::string path = std::string("Resource\\bmp\\") + b.name + ".bmp";
        pictures.push_back(LoadPicture(path, b.id));
        const PICRESOURCESTRUCT& pic = pictures.back();
        RectIndexPicture(b.id, 0, 0, pic.width, pic.height, b.cellW ? b.cellW : pic.width,
                         b.cellH ? b.cellH : pic.height);
    }
    ShowTextAtOnce(GBK("资源图载入完毕!请稍候..."));
}

// ------------------------------------------------------------- surfaces
Surface* Graph::CreatePlain(int32_t width, int32_t height)
{
    plat::SurfacePtr s = plat::MakeSurface(width, height);
    if (!s)
        Alert(GBK("在内存中建立幕后区CreatePlain失败!"));
    return s.release();
}

namespace {
// Why a picture file could not be read, in the words of the game's reports.
std::string BmpReasonGbk(plat::BmpError e)
{
    switch (e) {
    case plat::BmpError::Missing: return GBK("文件不存在");
    case plat::BmpError::Unreadable: return GBK("文件无法读取");
    case plat::BmpError::NotBmp: return GBK("不是BMP图片");
    case plat::BmpError::Truncated: return GBK("文件不完整，比图片所需的短");
    case plat::BmpError::BadSize: return GBK("图片的宽或高不大于0");
    case plat::BmpError::TooLarge: return GBK("图片太大");
    case plat::BmpError::Unsupported: return GBK("不支持这种BMP格式");
    default: return GBK("图片数据无法解码");
    }
}
} // namespace

Surface* Graph::CreatePicture(const std::string& path)
{
    if (RefuseOutsideName(path))
        return nullptr;
    if (!FileExists(path)) {
        Alert(GBK("加载BMP出错！文件不存在!"));
        AlertStr(path);
        return nullptr;
    }
    const plat::ResolvedPath rp = plat::P().paths().Resolve(path);
    plat::BmpResult r = plat::LoadBmp565(rp.path);
    if (!r.surface) {
        Alert(GBK("建立幕后区CreatePicture失败!"));
        AlertStr(path + GBK("（") + BmpReasonGbk(r.error) + GBK("）"));
        return nullptr;
    }
    return r.surface.release();
}

void Graph::ReleaseSurface(Surface*& surface)
{
    delete surface;
    surface = nullptr;
}

Rect Graph::GetPlainSize(Surface* surface)
{
    if (!surface) {
        Alert(GBK("GetPlainSize()得到表面描述失败！"));
        return Rect{0, 0, 0, 0};
    }
    return Rect{0, 0, surface->w, surface->h};
}

void Graph::FillSurface(Surface* surface, uint16_t colour) { plat::Fill(surface, colour); }

void Graph::SetKeyColour(Surface* surface)
{
    if (!surface)
        return;
    surface->hasKey = true;
    surface->key = static_cast<uint16_t>(g_KeyColour);
}

void Graph::Present()
{
    const Rect whole{0, 0, 640, 480};
    plat::Blit(back, whole, BUF, whole, false);
    if (!back)
        return;
    const int r = plat::P().display().Present(*back);
    if (g_FullScreen != 0) {
        if (r == plat::kErrSurfaceLost)
            RestoreSurfaces();
    } else {
        g_LastResult = r;
    }
}

void Graph::RestoreSurfaces()
{
    if (g_FullScreen != 0)
        plat::P().display().Restore();
}
