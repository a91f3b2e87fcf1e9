#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/control.h"
#include "core/filehelper.h"
#include "platform/surface.h"

// One entry of a frame's layer list, and the result of a hit test.
struct LAYCHAINSTRUCT {
    std::string kind;     // "image", "button" or "string"; empty: nothing hit
    int32_t frame = 0;    // the frame's index in the stack (hit tests only)
    int32_t index = 0;    // the element's index in its frame's array of that kind
};

// The common head of every element. Positions are pixels of the 640x480 frame.
struct UIBOX {
    int32_t id = 0;
    std::string name;
    int32_t layer = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t baseX = 0, baseY = 0, baseWidth = 0, baseHeight = 0;   // as loaded
    int32_t hitDX = 0, hitDY = 0, hitWidth = 0, hitHeight = 0;
    int32_t clickable = 0;
    int32_t visible = 0;
    std::string hoverAction = "NULL", leftAction = "NULL", rightAction = "NULL";
};

struct UIIMAGEBOX : UIBOX {
    plat::Surface* picture = nullptr;   // none when its file was missing
};

struct UIBUTTONBOX : UIBOX {
    plat::Surface* states[4] = {nullptr, nullptr, nullptr, nullptr};  // normal, hover, pressed, spare
    int32_t state = 0;
};

struct UISTRINGBOX : UIBOX {
    std::string text;
    std::string fontFace;
    int32_t fontHeight = 0;
    int32_t bold = 0;
    int32_t italic = 0;
    uint32_t colour = 0;    // 0x00BBGGRR
};

constexpr int kUiLayers = 10;

// One UI frame read from a ".jui" file. Copies share the surfaces; only
// unloading the frame from the stack releases them.
struct FRAMESTRUCT {
    FRAMESTRUCT() = default;
    FRAMESTRUCT(std::string frameName) : name(std::move(frameName)) {}

    int32_t id = 0;
    std::string name;
    std::vector<LAYCHAINSTRUCT> layers[kUiLayers];
    std::vector<UIIMAGEBOX> images;
    std::vector<UIBUTTONBOX> buttons;
    std::vector<UISTRINGBOX> strings;
    // The input's press count when the frame was pushed: a button pressed
    // before that and let go on the frame is no click on it.
    uint32_t pressesAtOpen = 0;
};

// The stack of UI frames: the last frame is the top, the only one that takes
// input and answers look-ups by name.
class ui : public FileHelper {
public:
    ui() = default;
    ~ui();
    ui(const ui&) = delete;
    ui& operator=(const ui&) = delete;

    // Frame files. A file is read whole and its frames are pushed only when
    // the whole file is sound.
    void LoadFrame(const std::string& name);
    void UnloadFrameAt(uint32_t index);
    void UnloadFrame(const std::string& name);
    void UnloadAll();

    // Save games. SaveGame writes the slot's file whole through a temporary
    // file, 1 on success; a failure is reported and leaves the old file.
    // LoadGame gives 0 when the slot has no file, or when the file is damaged,
    // names a map that can't be read or is reached through a link leading
    // out of the game folder (then reported, loadRefused set); nothing is
    // changed then.
    int32_t SaveGame(int32_t slot);
    int32_t LoadGame(int32_t slot);
    static std::string SaveFileName(int32_t slot);
    // The current slot's line of a save game.
    void Save(FILE* f);
    bool Load(FILE* f);

    // Painting and the top frame's elements by name.
    void Paint(const std::string& name);
    void PaintLayer(plat::Surface* dest, FRAMESTRUCT& frame, int32_t layer);
    std::string GetText(const std::string& name);
    void SetText(const std::string& name, const std::string& text);
    void SetImageSize(const std::string& name, int32_t width, int32_t height);
    int32_t GetImageBaseSize(const std::string& name, int32_t which);
    UIBOX* FindElement(const std::string& name);
    // The topmost frame of that name, wherever it stands; none when no
    // frame of the stack has it. The "In" forms reach that frame's
    // elements as the forms above reach the top frame's.
    FRAMESTRUCT* FrameNamed(const std::string& name);
    static void SetTextIn(FRAMESTRUCT& frame, const std::string& name, const std::string& text);
    static void SetImageSizeIn(FRAMESTRUCT& frame, const std::string& name, int32_t width, int32_t height);
    static int32_t GetImageBaseSizeIn(const FRAMESTRUCT& frame, const std::string& name, int32_t which);

    // Input while the frames have the focus.
    int32_t InRect(int32_t px, int32_t py, int32_t left, int32_t top, int32_t right, int32_t bottom);
    LAYCHAINSTRUCT HitTest(int32_t px, int32_t py);
    void OnMouseMove();
    void OnMouseClick(MouseInfo mouse);
    void OnKey(GameKey key);

    // Element actions.
    void DoAction(std::string action);
    void DoBuiltinAction(std::string text);
    void RunScriptAction(std::string text);
    std::string ActionHead(std::string text);
    std::string ActionTail(std::string text);

    // Fields, in their declared order.
    FILE* frameFile = nullptr;
    FILE* saveFile = nullptr;
    UIBOX* clickedElement = nullptr;
    std::vector<FRAMESTRUCT> frames;
    int32_t g_UiFocus = 0;
    int32_t g_LoadSlot = 1;
    // 1 when the last LoadGame found its file but refused it (damaged, its
    // map can't be read, or a link leads out to it); 0 after a load or a
    // missing file.
    int32_t loadRefused = 0;

private:
    void ReleaseFrame(FRAMESTRUCT& frame);
    void CloseTopFrame();
    UIBOX* ElementOf(const LAYCHAINSTRUCT& entry);
    // Whether an element pointer still belongs to a frame of the stack.
    bool OwnsElement(const UIBOX* element) const;
};

// The UI frames.
extern ui g_Ui;
