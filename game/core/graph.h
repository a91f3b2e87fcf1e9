#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "filehelper.h"
#include "platform/surface.h"

using plat::Rect;
using plat::Surface;

// Ids of the built-in pictures; 6 is not used. Magic kinds' pictures are 100
// plus their number.
enum PicResourceName {
    PIC_MAP1 = 0,
    PIC_MAP2 = 1,
    PIC_MAP3 = 2,
    PIC_ROLE = 3,
    PIC_NPC = 4,
    PIC_MONSTER = 5,
    PIC_CURSOR = 7,
    PIC_DIALOGFRAME = 8,
    PIC_DEADROLE = 9,
    PIC_LOGOEFFECT1 = 10,
    PIC_LOGOWORDS = 11,
};

// One entry of the picture table.
struct PICRESOURCESTRUCT {
    Surface* surface = nullptr;     // none when the file was missing
    int32_t name = 0;               // PicResourceName or 100 + magic number
    std::vector<Rect> rects;        // the cells row by row; empty until cut
    int32_t MaxCounts = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool magicSheet = false;        // brought by a magic kind; goes with the kinds
};

// A rectangle of map coordinates (floats), as the world's collision tests
// build them.
struct RectF {
    float left = 0, top = 0, right = 0, bottom = 0;
};

// 1 when a corner of one rectangle lies in the other (top-left or
// bottom-right, inclusive). Two rectangles that only cross count as apart.
int RectOverlap(const RectF& a, const RectF& b);

// The geometry every copy of the painter shares.
namespace paint {

// Positions are floats; truncation toward zero saturates, so huge or
// non-finite positions land far outside every surface instead of being
// undefined.
int64_t TruncSat(float v);

// A rectangle to copy: the source part (sl, st) of size w x h, put at (dx, dy).
struct Span {
    int64_t sl = 0, st = 0, w = 0, h = 0, dx = 0, dy = 0;
    bool Empty() const { return w <= 0 || h <= 0; }
};

// Keeps the source rectangle `r` inside a srcW x srcH source and the
// destination inside `clip`; whatever one side loses at its left or top
// moves the other along, so the visible part stays where it would have stood.
Span Cut(int64_t srcW, int64_t srcH, const Rect& r, int64_t dx, int64_t dy, const Rect& clip);

} // namespace paint

// The state of one frame animation; all zero after construction or Reset.
struct ANIMISTRUCT {
    int32_t timerStart = 0;
    int32_t timerArmed = 0;
    int32_t value = 0;      // free for the owner (the logo keeps its fade alpha here)
    int32_t current = 0;    // cell shown; negative shows nothing
    int32_t start = 0;
    int32_t end = 0;
    int32_t finished = 0;
    int32_t stopped = 0;    // the cell stays, but is still painted
    int32_t pingPong = 0;
    int32_t direction = 0;  // ping-pong: 0 backward, 1 forward
    int32_t loopTarget = 0;
    int32_t loopCount = 0;

    void Reset() { *this = ANIMISTRUCT{}; }
    // Asks for n ping-pong turns; 1 (and the loop cleared) once they were played.
    int32_t SetLoop(int32_t n);
};

// The display: surfaces, the picture table and everything painted.
class Graph : public FileHelper {
public:
    Graph();
    ~Graph();
    Graph(const Graph&) = delete;
    Graph& operator=(const Graph&) = delete;

    // Display set-up and the configuration file.
    void InitDisplay();
    void LoadResourcePictures();
    Surface* CreatePlain(int32_t width, int32_t height);
    Surface* CreatePicture(const std::string& path);
    Rect GetPlainSize(Surface* surface);
    void FillSurface(Surface* surface, uint16_t colour);
    void SetKeyColour(Surface* surface);
    void Present();
    void RestoreSurfaces();
    // Releases a surface made by CreatePlain or CreatePicture.
    void ReleaseSurface(Surface*& surface);

    // The picture table.
    PICRESOURCESTRUCT LoadPicture(const std::string& path, int32_t id);
    PICRESOURCESTRUCT& getpicre(int32_t id);
    int32_t GetPicIndex(int32_t id);
    int32_t RectIndexPicture(int32_t id, int32_t left, int32_t top, int32_t width, int32_t height, int32_t cellWidth,
                             int32_t cellHeight);
    // Cell `index` of picture `id`. False (and nothing to paint) when the
    // picture has no surface, or when the index lies beyond its sheet, which
    // is reported once per picture and cell.
    bool GetCell(int32_t id, int32_t index, Rect* cell);

    // Core painting. Results: 0 painted or nothing to paint, negative when a
    // surface is missing.
    int Paint(Surface* dest, Surface* src, Rect rect, float x, float y, int32_t key, int32_t alpha, int32_t stipple,
              const Rect* clip = nullptr);
    int PaintPic(Surface* dest, int32_t id, Rect rect, float x, float y, int32_t key, int32_t alpha,
                 int32_t stipple);
    void BlendPaint(Surface* src, Surface* dest, Rect rect, float x, float y, int32_t alpha, int32_t stipple,
                    int32_t key);
    int32_t ReplaceColour(Surface* surface, Rect rect, int32_t from, uint16_t to, int32_t stipple, int32_t keyProtect);

    // Text (the point forms paint with the default font).
    int PaintText(Surface* dst, const char* text, Rect rect, const char* face, int32_t height, int32_t bold,
                  int32_t italic, uint32_t colour);
    int PaintText(Surface* dst, const char* text, int32_t x, int32_t y, uint32_t colour);
    int PaintText(Surface* dst, const std::string& text, int32_t x, int32_t y, uint32_t colour);
    void ShowTextAtOnce(const char* text);
    void PaintDialog();

    // Frame animations.
    int32_t PaintAnimi(int32_t id, float x, float y, int32_t alpha, ANIMISTRUCT& anim, int32_t interval);
    int32_t PaintAnimiEx(Surface* dest, int32_t id, float x, float y, int32_t key, int32_t alpha, int32_t stipple,
                         ANIMISTRUCT& anim, int32_t startIndex, int32_t endindex, int32_t interval);

    // Frame painting used by the main loop.
    int PaintLogo(int32_t interval);
    // The title, the in-game frame and the UI frames are composed of the
    // world and the frames above the pictures: these hand the work to the
    // program's composer.
    void PaintTitle();
    void PaintLayToBuffer();
    void PaintUIFrames();
    void PaintBlackScreen();
    void PaintFps();

    // Fields, in their declared order.
    int32_t dialogAlpha = 22;
    int32_t depthToRestore = 0;
    bool deviceUp = false;      // the display object exists
    Surface* primary = nullptr; // unused: the window is the primary
    Surface* back = nullptr;
    Surface* BUF = nullptr;
    Surface* black = nullptr;
    std::vector<PICRESOURCESTRUCT> pictures;
    // Work surfaces on which the NPC, monster and magic painters stage one
    // sprite at a time (see StageSprite); made with the map.
    Surface* pNpc1 = nullptr;
    Surface* pNpc2 = nullptr;
    Surface* pMonster1 = nullptr;
    Surface* pMonster2 = nullptr;
    Surface* pMagic = nullptr;
    int32_t blackMode = 0;
    int32_t blackAlpha = -1;

    // Values read from "config.jcf" that are not globals.
    int32_t waveVolume = 0;

    // The dialog painter's state: the frame's place, computed on the first
    // call of the run, and its opening animation.
    struct DialogState {
        bool placed = false;
        int32_t w = 0, h = 0, x = 0, y = 0;
        int32_t visibleWidth = 1;
        int32_t step = 0;
        int32_t timerStart = 0, timerArmed = 0;
    } dialog;

    // The logo sequence's state.
    struct LogoState {
        ANIMISTRUCT anim;          // the logo picture's animation
        ANIMISTRUCT fade;          // fade timer; value = the fade alpha
        int32_t fadingIn = 1;
        int32_t endStart = 1, endArmed = 0;
    } logo;

    // The frame-rate counter's state.
    struct FpsState {
        int32_t frames = 0;
        int32_t started = 0;
        uint32_t startTick = 0;
        std::string text;
    } fps;

private:
    void ReadConfig();
    void ReportBadCell(int32_t id, int32_t index);
    std::vector<std::pair<int32_t, int32_t>> badCells_;
};

extern uint32_t g_KeyColour;

// The game's pictures and painting (defined with the other globals).
extern Graph g_Graph;
// Blends are computed by the game itself (1) or left to the card (0); the
// display runs full screen (1); frames are held to the frame rate (1).
extern int32_t g_SoftAlpha;
extern int32_t g_FullScreen;
extern int32_t g_FrameLimit;

