#pragma once
// One magic kind as the magic editor keeps it and the magic list carries it.
#include <QByteArray>

#include <array>
#include <cstdint>

namespace tilesmith {

struct MagicRec {
    QByteArray FileName; // picture name in the game's resource/bmp folder, no ".bmp"
    int16_t ID = 0;
    QByteArray Name; // "NULL" marks a free record
    int16_t SmallWidth = 0;
    int16_t SmallHeight = 0;
    int16_t LargeWidth = 0; // not stored in the list; recomputed from the picture
    int16_t LargeHeight = 0;
    int16_t RowCounts = 0;
    int16_t ColCounts = 0;
    int16_t Delay = 0;
    QByteArray WaveName; // sound in the game's resource/wav folder, no ".wav"
    int16_t TimeInterval = 0;
    int16_t InitSpeed = 0;
    int16_t Acceleration = 0;
    int16_t AnimiType = 0;
    int16_t OnceCounts = 0;
    int16_t TimeLife = 0;
    int16_t Attack = 0;
    int16_t AddAttack = 0;
    int16_t AddDefend = 0;
    int16_t AddHp = 0;
    int16_t AddMp = 0;
    int16_t Attribute = 0;
    int16_t ELeft = 0;
    int16_t ETop = 0;
    int16_t ERight = 0;
    int16_t EBottom = 0;
    int16_t AutoAim = 0;
    int16_t CrossObstacle = 0;
    int16_t CircleRadius = 0;
    int16_t CircleCounts = 0;
    int16_t OneCycle = 0;
    int16_t CostMp = 0;
};

inline constexpr int MagicSlots = 51;
using MagicTable = std::array<MagicRec, MagicSlots>;

} // namespace tilesmith
