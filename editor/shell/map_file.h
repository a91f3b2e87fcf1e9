#pragma once
// The map file as the editor reads it: a header line "W,H,direction,x,y" and
// seven layers of W×H cell lines (ground "srcX,srcY,x,y,obstacle,sheet,event",
// the others "srcX,srcY,x,y,sheet"). A file is read whole and checked; any
// malformed part refuses the whole file.
#include "module1.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace tilesmith {

inline constexpr int MaxMapSide = 1023;
inline constexpr int MaxMapCells = 32767;
inline constexpr int MaxEventBytes = 255;
// Sheets the editor loads: map1, map2, map3, the NPC and the monster sheet.
inline constexpr int SheetCount = 5;

struct MapDocument {
    fr::NumOrText MapWidth;
    fr::NumOrText MapHeight;
    int width = 0; // the same as whole numbers
    int height = 0;
    int16_t TileCount = 0;
    int16_t RoleDir = 0;
    int16_t RoleX = 0;
    int16_t RoleY = 0;
    std::array<std::vector<TileRec>, TileLayers> layers; // layer 1 at [0]
};

struct MapReadResult {
    bool ok = false;
    QString error;        // why the file was refused (Chinese, with the line)
    bool lfOnly = false;  // the file had LF line ends only
};

// Parses a whole map file into `doc`; `doc` is only meaningful when ok.
MapReadResult ParseMapFile(const QByteArray& bytes, MapDocument& doc);

// What the writer reads, wherever the document lives (a parsed file or the
// editor's shared data). The layers are not copied.
struct MapSource {
    fr::NumOrText MapWidth;
    fr::NumOrText MapHeight;
    int16_t RoleDir = 0;
    int16_t RoleX = 0;
    int16_t RoleY = 0;
    std::array<const std::vector<TileRec>*, TileLayers> layers{}; // layer 1 at [0]
};
MapSource SourceOf(const MapDocument& doc);
MapSource SourceOf(const Module1& m);

// Why the document cannot be written as a map the game reads back the same,
// or "" when it can: a size that is not a whole number 1..1023 (or a map of
// more than 32767 cells), layers whose record count is not width × height,
// or an event name holding ',', CR or LF (the game would read every later
// line shifted). The message names the first such cell.
QString MapWriteProblem(const MapSource& src);

// The file as the editor writes it: the header, then every ground record,
// then layers 2..7, each line ended by CR LF. Sizes are printed in the form
// they are held (typed text as typed).
QByteArray SerializeMap(const MapSource& src);
QByteArray SerializeMap(const MapDocument& doc);

} // namespace tilesmith
