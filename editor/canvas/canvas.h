#pragma once
// The map canvas: the current tool and the commands that switch it, the edit
// operations on the layer records and layer pictures, the mouse on the
// cursor box (click, movement, drag painting) and on the composite picture
// (region copy), the layer fill and the tile information panel.
//
// The tool is the combination of fields in the shared data (Module1) and in
// Main; the canvas keeps only what no other form needs to see.
#include "shell/module1.h"
#include "shell/module2.h"
#include "shell/services.h"

#include <QPoint>

#include <functional>

namespace fr {
class PicImage;
}

namespace tilesmith {

class Main;

class Canvas : public CanvasServices {
public:
    // `main` gives Main, created on first use.
    Canvas(Module1& data, Module2& procs, ToolForms& tools, std::function<Main&()> main);

    // ---- Tool commands ---------------------------------------------------
    void SwitchEraser() override;
    void Menu_SelectSmallEraser_Click() override;
    void Menu_SelectMiddleEraser_Click() override;
    void Menu_SelectLargeEraser_Click() override;
    void Menu_IncidentEra_Click() override;
    void Menu_SetObstacle_Click() override;
    void Menu_Spinner_Click() override;
    void MainPic_MouseUp(int button, int shift, int x, int y) override;

    // ---- Mouse on the map ------------------------------------------------
    void MainPic_MouseDown(int button, int shift, int x, int y) override;
    void MainPic_MouseMove(int button, int shift, int x, int y) override;
    void Picture1_MouseDown(int button, int shift, int x, int y) override;
    void Picture1_MouseMove(int button, int shift, int x, int y) override;
    void DropRegionCopy() override;

    // ---- Layer fill and the information panel ----------------------------
    void Menu_FillAll_Click() override;
    void ShowTileInfo();

    // ---- Edit operations at (x, y) with the cell index i of that corner ----
    void PaintTile(int x, int y, int i);
    // False when the block stopped at the last tile of the map.
    bool PaintBlock(int x, int y, int i);
    void EraseTiles(int x, int y, int i);
    void MarkEvent(int x, int y, int i);
    void MarkObstacle(int x, int y, int i);
    void EraseEvent(int x, int y, int i);
    void EraseObstacles(int x, int y, int i);
    void PaintSprite(int x, int y, int w, int h);
    void EraseSprite(int x, int y);
    enum class Redraw { Eraser, OneCell, Block };
    void RedrawRegion(int x, int y, Redraw kind);

    // The end point of Line3: the far corner of the region copy's band.
    QPoint BandEnd() const { return bandEnd_; }

private:
    Main& w() const { return main_(); }
    int mapWidth() const;
    int mapHeight() const;
    // The record of cell i on a tile layer (1..7), or null outside the map.
    TileRec* record(int layer, int i);
    // The cell index of a point of the map as the box's position gives it:
    // -1 when it cannot be a cell.
    int16_t cellIndex(double left, double top) const;
    // Cells (column, row) of an area of cols×rows cells whose corner is cell
    // i; only those inside the map are visited.
    template <class F> void forArea(int i, int cols, int rows, F&& f);

    // The cursor box and its kept copy.
    void keepCursor();
    void restoreKeptCursor();
    void drawEraserCursor();
    void selectEraser(int16_t size);
    void hideBand();
    void setBand(int sx, int sy, int x, int y);
    void applyEditAt(bool drag);
    void placeSprite(AttribKind kind);
    void deletePlacements();
    void recomposite();
    void blockFill(int lay, int W, int H);
    // The brush as the region copy found it, to put back when the region
    // copy is cancelled or its block is dropped.
    struct KeptBrush {
        double x = 0;
        int16_t y = 0;
        int16_t sheet = 0;
        QString sheetName = QStringLiteral("map1");
        double width = 32;
        double height = 32;
        bool large = false;
        bool takeOutInfo = false;
        int16_t spinner = 0;
        double stepX = 32;
        double stepY = 32;
    };
    void keepBrush();
    void restoreBrush();

    Module1& M;
    Module2& P;
    ToolForms& tools_;
    std::function<Main&()> main_;
    QPoint bandEnd_;
    KeptBrush kept_;
};

} // namespace tilesmith
