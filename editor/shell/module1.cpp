#include "module1.h"

namespace tilesmith {

bool operator==(const TileRec& a, const TileRec& b)
{
    return a.srcX == b.srcX && a.srcY == b.srcY && a.sheet == b.sheet && a.mapX == b.mapX && a.mapY == b.mapY &&
           a.event == b.event && a.obstacle == b.obstacle;
}

std::vector<TileRec>& Module1::LayData(int layer)
{
    return const_cast<std::vector<TileRec>&>(static_cast<const Module1*>(this)->LayData(layer));
}

const std::vector<TileRec>& Module1::LayData(int layer) const
{
    switch (layer) {
    case 1: return GroundLayData;
    case 2: return Object2LayData;
    case 3: return Object3LayData;
    case 4: return Object4LayData;
    case 5: return Object5LayData;
    case 6: return Object6LayData;
    case 7: return SkyLayData;
    default: break;
    }
    throw fr::RuntimeError(QStringLiteral("图层编号 %1 无效").arg(layer));
}

} // namespace tilesmith
