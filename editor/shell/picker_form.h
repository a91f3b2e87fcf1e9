#pragma once
// PicResource: the tile-sheet picker. It shows one of the sheets "map1",
// "map2", "map3" with a 32-pixel grid and lets the user choose the brush:
// one tile with a left click on the cursor box, or a block framed with a
// right press on the box and a left press on the sheet. The chosen image
// goes into Main's cursor box and the brush is recorded in the shared data.
// The sheet shown is always the one the brush records when it is picked.
#include "platform/form.h"
#include "platform/keys.h"
#include "platform/picbox.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QMenu;
class QScrollBar;

namespace tilesmith {

class Main;
struct Module1;

// One edge of the block-selection band, in sheet pixels.
struct BandLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool visible = false;
};

// The sheet picture, with the band drawn over it.
class SheetBox : public fr::PicBox {
public:
    explicit SheetBox(QWidget* parent);
    std::array<BandLine, 4> band; // Line1..Line4

protected:
    void paintEvent(QPaintEvent* e) override;
};

// The picker's cursor box: a frame over the tile under the mouse.
class CursorBox : public fr::PicBox {
public:
    explicit CursorBox(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
};

class PicResource : public fr::FormWindow<QMainWindow> {
public:
    explicit PicResource(Main& main);
    ~PicResource() override;

    void formActivate() override;
    void formResize() override;
    bool formKeyDown(int keyCode, int shift) override;
    void formUnload() override;

    QWidget* Picture2 = nullptr;   // the viewport
    SheetBox* Picture1 = nullptr;  // the sheet; its coordinates are sheet pixels
    CursorBox* MainPic = nullptr;  // the cursor box
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QMenu* SelectResource = nullptr;
    QAction* ResourcePicture1 = nullptr;
    QAction* ResourcePicture2 = nullptr;
    QAction* ResourcePicture3 = nullptr;
    QAction* ReturnMain = nullptr;
    BandLine& Line(int n) { return Picture1->band[static_cast<size_t>(n - 1)]; }

    // Anchor of a block selection (sheet pixels).
    float AnchorX = 0;
    int16_t AnchorY = 0;

    // Loads <game>/resource/bmp/<last part of path>.bmp, the game folder
    // being two folders above `path`. A file that cannot be loaded is
    // reported (once, until a load works) and the picture stays; false then.
    bool ShowSheet(const QString& path);
    // Shows the brush's sheet from the pictures loaded at start-up.
    void ShowBrushSheet();
    void DrawSheetGrid(int16_t sx, int16_t sy);

    void Picture1_MouseMove(int button, int shift, int x, int y);
    void Picture1_MouseDown(int button, int shift, int x, int y);
    void MainPic_MouseMove(int button, int shift, int x, int y);
    void MainPic_MouseDown(int button, int shift, int x, int y);
    void ResourcePicture1_Click();
    void ResourcePicture2_Click();
    void ResourcePicture3_Click();
    void ReturnMain_Click();
    void VScroll1_Change();
    void HScroll1_Change();

    // A block side snapped to the 32-pixel grid: a remainder of 16 or less
    // rounds down, more rounds up.
    static int SnapSide(int v);
    // Whether a tile at sheet row y can be recorded (y within 16 bits);
    // reported when not.
    static bool SheetRowFits(int y);

private:
    void setScrollMaxima();
    void showSheetMenu(const QString& name);
    void scrollBy(QScrollBar* bar, int delta);
    // The sheet's pixels as loaded, without the grid.
    const QImage& sheetPicture() const;

    Main& main_;
    Module1& M;
    QWidget* central_ = nullptr;
    std::unique_ptr<fr::KeyPreview> keyPreview_;
    QString lastMissing_; // the sheet file last reported missing
};

} // namespace tilesmith
