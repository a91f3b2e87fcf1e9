#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <initializer_list>
#include <vector>

#include "core/filehelper.h"
#include "core/graph.h"

// Base of every actor and magic class: identity, frame size and position on
// the map.
class Object : public FileHelper {
public:
    Object() = default;
    ~Object();
    Object(const Object&) = default;
    Object& operator=(const Object&) = default;

    // The save record. Load reads the whole record or changes nothing and
    // returns false.
    void Save(FILE* f);
    bool Load(FILE* f);

    // Fields, in their declared order.
    int32_t id = 0;
    std::string name = "NULL";
    int32_t width = 0;
    int32_t height = 0;
    float viewX = 0;
    float viewY = 0;
    float x = 0;
    float y = 0;
    float startViewX = 0;
    float startViewY = 0;
    float startX = 0;
    float startY = 0;
    int32_t dead = 0;
    float step = 0;
    float speed = 0;
};

// One node of the path search.
struct NODE {
    int32_t tile = -1;
    int32_t f = -1;
    int32_t g = -1;
    int32_t h = -1;
    int32_t parent = -1;
};

// An actor that walks: the base of the role, NPCs and monsters.
class People : public Object {
public:
    People() = default;
    ~People();
    People(const People&) = default;
    People& operator=(const People&) = default;

    // The record that follows the Object record in a save. Load reads the
    // whole record or changes nothing and returns false. Path cells are
    // bounded by the largest map here; PathFitsMap checks them against the
    // map the save brings once that map is known.
    void Save(FILE* f);
    bool Load(FILE* f);
    bool PathFitsMap(int32_t mapTileCount) const;

    // The direction after a possible random change when the walk timer fires.
    int32_t RandomDirection(int32_t* timerStart, int32_t* timerArmed, int32_t factor);
    // 1 when one step in direction dir puts a leading corner of the box on a
    // blocking cell.
    int32_t HitsObstacle(int32_t dir);
    // 1 when the box moved one step in direction dir touches the role's frame.
    int32_t HitsRole(int32_t dir);
    // The cell under a map point, or -1 outside the map (or with no map).
    int32_t GetTileIndex(int32_t px, int32_t py);
    void FaceRole();
    // 1 with probability p percent.
    int32_t Chance(int32_t p);

    // Path search over the current map's cells (orthogonal steps, around
    // ground cells with any obstacle value).
    // Manhattan distance in cells; -1 when either cell lies outside the grid.
    int32_t TileDistance(int32_t a, int32_t b) const;
    static int32_t FindNode(const std::vector<NODE>& list, int32_t tile);
    void SetNodeCost(NODE* node, const std::vector<NODE>& closed, int32_t goal) const;
    static void MoveBestNodeFirst(std::vector<NODE>* open);
    // Appends the path from start (exclusive) to goal to actor->path; 1 when
    // a path was found.
    int32_t Astar(People* actor, int32_t start, int32_t goal);
    // One step of the path follower: sets the actor's direction as its
    // centre reaches each cell; 3 once arrived (or without a path), else 1.
    int32_t AstarStep(People* actor, int32_t start, int32_t goal);

    // The box moved one step in direction dir; false for directions other
    // than 0 to 3.
    bool MovedBox(int32_t dir, RectF* box) const;
    // 1 when the box moved one step in direction dir touches the box of an
    // actor of the list, in list order; actors with this actor's id are
    // skipped when skipSameId is set.
    template <class List>
    int32_t HitsActors(int32_t dir, const List& list, bool skipSameId) const;

    // Fields, in their declared order.
    std::vector<int32_t> path;
    int32_t pathStep = 0;
    int32_t lastTile = 0;
    std::string script = "NULL";
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    int32_t frame = 0;
    int32_t direction = 0;
    int32_t animSpeed = 0;
    float hp = 0;
    float mp = 0;
    float maxHp = 0;
    float maxMp = 0;
    float attack = 0;
    float defence = 0;
    float exp = 0;
    int32_t level = 0;
    float nextExp = 0;
    int32_t boxLeft = 0;
    int32_t boxRight = 0;
    int32_t boxTop = 0;
    int32_t boxBottom = 0;
    int32_t active = 1;
    int32_t initialActive = 0;
    int32_t walking = 0;
    int32_t tint = -1;
    int32_t tintFrames = 20;
    int32_t aiMode = 0;
    int32_t alpha = -1;
    int32_t goalTile = 0;
    int32_t division = 0;
    int32_t magicKind = -1;
};

template <class List>
int32_t People::HitsActors(int32_t dir, const List& list, bool skipSameId) const
{
    RectF moved;
    if (!MovedBox(dir, &moved))
        return 0;
    for (const auto& a : list) {
        if (skipSameId && a.id == id)
            continue;
        const RectF box{a.x + static_cast<float>(a.boxLeft), a.y + static_cast<float>(a.boxTop),
                        a.x + static_cast<float>(a.boxRight), a.y + static_cast<float>(a.boxBottom)};
        if (RectOverlap(moved, box))
            return 1;
    }
    return 0;
}

// Reads the values of one record line ("Head(,v1,v2,...,);") from just after
// its head: everything up to the first ',' is skipped, then `count` values,
// each trimmed. The values never run past the line. On success the file is
// left just after the last value's ','; otherwise it stays where it was and
// *line holds the line for the report.
bool ReadRecordLine(FileHelper& h, FILE* f, size_t count, std::vector<std::string>* values, std::string* line);

// Reports a record statement with fewer values than it needs, naming its
// script; the statement is ignored.
void ReportShortRecord(const char* head, size_t wanted, const std::string& line);

// The numeric values of a record read as numbers: one that is empty (an
// emptied cell of the editor) or no number reads as 0. The first such value
// of each script file is reported, naming the record and the value.
// `texts` lists the positions of the record's text values.
void CheckRecordNumbers(const char* head, const std::vector<std::string>& values,
                        std::initializer_list<size_t> texts, const std::string& line);

// Milliseconds until the next random change of direction, one value for all
// actors.
extern int32_t g_WalkInterval;

// Saturating truncation toward zero of a float to a 32-bit integer; NaN is 0.
int32_t TruncToInt(float v);
