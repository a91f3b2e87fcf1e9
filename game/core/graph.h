#pragma once
#include <cstdint>
#include <string>
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
    Surface* surface = nullptr;
    int32_t name = 0;               // PicResourceName or 100 + magic number
    std::vector<Rect>* rects = nullptr; // cell rectangles, none until cut
    int32_t MaxCounts = 0;
    int32_t width = 0;
    int32_t height = 0;
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

    // Text (the point forms paint with the default font).
    int PaintText(Surface* dst, const char* text, Rect rect, const char* face, int32_t height, int32_t bold,
                  int32_t italic, uint32_t colour);
    int PaintText(Surface* dst, const char* text, int32_t x, int32_t y, uint32_t colour);
    int PaintText(Surface* dst, const std::string& text, int32_t x, int32_t y, uint32_t colour);

    // Frame painting used by the main loop.
    int PaintLogo(int32_t interval);
    void PaintTitle();
    void PaintLayToBuffer();
    void PaintBlackScreen();
    void PaintUIFrames();
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
    std::vector<Surface*> layers = std::vector<Surface*>(7, nullptr);
    Surface* pNpc1 = nullptr;
    Surface* pNpc2 = nullptr;
    Surface* pMonster1 = nullptr;
    Surface* pMonster2 = nullptr;
    Surface* pMagic = nullptr;
    int32_t blackMode = 0;
    int32_t blackAlpha = -1;

    // Values read from "config.jcf" that are not globals.
    int32_t waveVolume = 0;

private:
    void ReadConfig();
    uint32_t logoStart_ = 0;
    bool logoStarted_ = false;
};

extern uint32_t g_KeyColour;
