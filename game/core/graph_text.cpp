// Painters on top of Paint: text, the dialog frame, frame animations, the
// logo, the black veil and the frame-rate counter.
#include <algorithm>
#include <cstring>
#include <string>

#include "alert.h"
#include "graph.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "upcalls.h"

using plat::GBK;

// ------------------------------------------------------------- text
int Graph::PaintText(Surface* dst, const char* text, Rect rect, const char* face, int32_t height, int32_t bold,
                     int32_t italic, uint32_t colour)
{
    if (!dst) {
        Alert(GBK("PaintText取得后缓冲区DC失败！"));
        return -1;
    }
    plat::FontSpec font;
    font.faceGbk = face ? face : "";
    font.height = height;
    font.weight = bold ? 700 : 500;
    font.italic = italic != 0;
    return plat::P().text().DrawTextRect(*dst, text ? text : "", rect, font, colour);
}

int Graph::PaintText(Surface* dst, const char* text, int32_t x, int32_t y, uint32_t colour)
{
    if (!dst) {
        Alert(GBK("PaintText取得后缓冲区DC失败！"));
        return -1;
    }
    return plat::P().text().TextOut(*dst, text ? text : "", x, y, plat::FontSpec{}, colour);
}

int Graph::PaintText(Surface* dst, const std::string& text, int32_t x, int32_t y, uint32_t colour)
{
    if (!dst) {
        Alert(GBK("PaintText取得后缓冲区DC失败！"));
        return -1;
    }
    return plat::P().text().TextOut(*dst, text, x, y, plat::FontSpec{}, colour);
}

void Graph::ShowTextAtOnce(const char* text)
{
    // Centred by its length in bytes; a long text reaches past the left edge
    // and is cut there by the renderer.
    const int64_t n = text ? static_cast<int64_t>(std::strlen(text)) : 0;
    const int64_t half = std::min<int64_t>(5 * n, 1 << 30);
    const Rect r{static_cast<int32_t>(320 - half), 183, static_cast<int32_t>(320 + half), 203};
    PaintText(back, text, r, GBK("宋体"), 15, 0, 0, 0x00FFFFFF);
    if (!back)
        return;
    plat::P().display().Present(*back);
    FillSurface(back, 0);
}

void Graph::PaintDialog()
{
    DialogState& d = dialog;
    if (!d.placed) {
        const PICRESOURCESTRUCT& pic = getpicre(PIC_DIALOGFRAME);
        d.w = pic.width;
        d.h = pic.height;
        d.x = (640 - d.w) / 2;
        d.y = 480 - d.h - 10;
        d.placed = true;
    }
    DialogWatch& watch = Upcall<DialogWatch>::Get();
    if (watch.FramePainted()) {
        d.timerArmed = 0;
        d.visibleWidth = 1;
        d.step = 0;
    }
    if (IntervalElapsed(&d.timerStart, &d.timerArmed, 1)) {
        if (d.visibleWidth + d.step + 3 <= d.w) {
            d.step += 3;
            d.visibleWidth += d.step;
            watch.FrameOpening(true);
            d.timerArmed = 0;
        } else {
            // Fully open; the timer stays armed and fires on every later call.
            d.visibleWidth = d.w;
            watch.FrameOpening(false);
        }
    }
    if (PaintPic(BUF, PIC_DIALOGFRAME, Rect{0, 0, d.visibleWidth, d.h}, static_cast<float>(d.x),
                 static_cast<float>(d.y), 0, dialogAlpha, 0) < 0)
        Alert(GBK("PaintDialog 失败！"));
}

// ------------------------------------------------------------- animations
int32_t ANIMISTRUCT::SetLoop(int32_t n)
{
    timerStart = 0;
    timerArmed = 0;
    pingPong = 1;
    loopTarget = n;
    if (loopCount >= n) {
        loopCount = 0;
        loopTarget = 0;
        pingPong = 0;
        return 1;
    }
    return 0;
}

namespace {

// One tick of an animation between its start and end cells; 1 when a run
// ended (a ping-pong turn or the one-way end), with nothing to paint.
int32_t Advance(ANIMISTRUCT& a, int32_t interval)
{
    if (a.stopped)
        return 0;
    if (!IntervalElapsed(&a.timerStart, &a.timerArmed, static_cast<uint32_t>(interval)))
        return 0;
    if (a.pingPong) {
        if (a.direction == 0) {
            if (a.current - 1 >= a.start) {
                --a.current;
            } else {
                a.direction = 1;
                ++a.loopCount;
                return 1;
            }
        } else {
            if (a.current + 1 <= a.end) {
                ++a.current;
            } else {
                a.direction = 0;
                ++a.loopCount;
                return 1;
            }
        }
    } else {
        // The end of a one-way run leaves the timer as it is: every later
        // call ends here again until the owner changes the state.
        if (a.current + 1 <= a.end)
            ++a.current;
        else
            return 1;
    }
    a.timerArmed = 0;
    return 0;
}

} // namespace

int32_t Graph::PaintAnimi(int32_t id, float x, float y, int32_t alpha, ANIMISTRUCT& anim, int32_t interval)
{
    if (anim.finished)
        return 1;
    if (anim.current < 0)
        return 0;
    anim.start = 0;
    anim.end = getpicre(id).MaxCounts - 1;
    if (Advance(anim, interval))
        return 1;
    Rect cell;
    if (!GetCell(id, anim.current, &cell))
        return 0;
    if (PaintPic(BUF, id, cell, x, y, 1, alpha, 0) < 0)
        Alert(GBK("PaintAnimi失败！"));
    return 0;
}

int32_t Graph::PaintAnimiEx(Surface* dest, int32_t id, float x, float y, int32_t key, int32_t alpha, int32_t stipple,
                            ANIMISTRUCT& anim, int32_t startIndex, int32_t endindex, int32_t interval)
{
    if (anim.finished)
        return 1;
    if (anim.current < 0 || startIndex < 0)
        return 0;
    const PICRESOURCESTRUCT& pic = getpicre(id);
    const int32_t last = pic.MaxCounts - 1;
    // A picture that never loaded was reported when it was loaded.
    if (endindex < -1) {
        if (pic.surface)
            Alert(GBK("PaintAnimi endindex<0"));
        return 0;
    }
    if (endindex > last) {
        if (pic.surface)
            Alert(GBK("PaintAnimi endindex>MaxCounts"));
        return 0;
    }
    anim.start = startIndex;
    anim.end = endindex == -1 ? last : endindex;
    if (Advance(anim, interval))
        return 1;
    Rect cell;
    if (!GetCell(id, anim.current, &cell))
        return 0;
    if (PaintPic(dest, id, cell, x, y, key, alpha, stipple) < 0)
        Alert(GBK("PaintAnimiEx失败！"));
    return 0;
}

// ------------------------------------------------------------- logo
int Graph::PaintLogo(int32_t interval)
{
    LogoState& L = logo;
    // Centred on cell 0 of each picture, the logo 70 and the words 50 above
    // the middle.
    const PICRESOURCESTRUCT& effect = getpicre(PIC_LOGOEFFECT1);
    const PICRESOURCESTRUCT& words = getpicre(PIC_LOGOWORDS);
    const Rect e0 = effect.rects.empty() ? Rect{} : effect.rects[0];
    const Rect w0 = words.rects.empty() ? Rect{} : words.rects[0];
    const int32_t logoX = 320 - e0.right / 2;
    const int32_t logoY = 240 - e0.bottom / 2 - 70;
    const int32_t wordsX = 320 - w0.right / 2;
    const int32_t wordsY = 240 - w0.bottom / 2 - 50;

    if (L.anim.stopped) {
        if (IntervalElapsed(&L.endStart, &L.endArmed, 3000)) {
            L.endStart = 1;
            L.endArmed = 0;
            L.anim.Reset();
            L.fade.Reset();
            L.fadingIn = 1;
            return 1;
        }
    }

    int32_t& alpha = L.fade.value;
    if (IntervalElapsed(&L.fade.timerStart, &L.fade.timerArmed, 110)) {
        if (L.fadingIn) {
            if (alpha <= 27)
                ++alpha;
            else
                L.fadingIn = 0;
        } else {
            alpha = alpha > 1 ? alpha - 1 : 0;
        }
        L.fade.timerArmed = 0;
    }

    FillSurface(BUF, 0);
    if (PaintAnimi(PIC_LOGOEFFECT1, static_cast<float>(logoX), static_cast<float>(logoY), alpha, L.anim,
                   interval) == 1 &&
        L.anim.SetLoop(1) == 1)
        L.anim.stopped = 1;
    Rect cell;
    if (GetCell(PIC_LOGOWORDS, 0, &cell))
        PaintPic(BUF, PIC_LOGOWORDS, cell, static_cast<float>(wordsX), static_cast<float>(wordsY), 1, alpha, 0);
    return 0;
}

// ------------------------------------------------------------- composition
void Graph::PaintTitle() { Upcall<SceneComposer>::Get().PaintTitle(); }

void Graph::PaintLayToBuffer() { Upcall<SceneComposer>::Get().PaintLayToBuffer(); }

void Graph::PaintUIFrames() { Upcall<SceneComposer>::Get().PaintUIFrames(); }

// ------------------------------------------------------------- veils
void Graph::PaintBlackScreen()
{
    if (blackMode == 1 && Paint(BUF, black, Rect{23, 23, 616, 344}, 23, 23, 0, blackAlpha, 1) < 0)
        Alert(GBK("画黑幕到显存BUF失败！小黑屏"));
    PaintUIFrames();
    if (blackMode == 2 && Paint(BUF, black, Rect{0, 0, 640, 480}, 0, 0, 0, blackAlpha, 1) < 0)
        Alert(GBK("画黑幕到显存BUF失败！全黑屏"));
}

void Graph::PaintFps()
{
    ++fps.frames;
    const uint32_t now = plat::P().clock().Ticks();
    if (!fps.started) {
        fps.startTick = now;
        fps.started = 1;
    }
    if (now - fps.startTick >= 1000) {
        fps.text = std::to_string(fps.frames);
        fps.frames = 0;
        fps.started = 0;
    }
    PaintText(BUF, fps.text, 580, 40, 0);
}
