// Path search tables on small maps and the follower's directions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "astar_cases.h"
#include "test_support.h"
#include "world/map.h"
#include "world/object.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

// A w x h map whose ground cells in `blocked` carry the given obstacle value.
void GridMap(int w, int h, const std::set<int>& blocked, int value = 1)
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(w, h, std::to_string(w) + "," + std::to_string(h) + ",1,0,0", [&](int i) {
        return blocked.count(i) ? "0,0,0,0," + std::to_string(value) + ",-1,N" : std::string();
    }));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
}

std::vector<int32_t> PathOf(int32_t start, int32_t goal, int32_t* result = nullptr)
{
    People p;
    const int32_t r = p.Astar(&p, start, goal);
    if (result)
        *result = r;
    return p.path;
}

} // namespace

TEST(Astar, PathsOnSmallMaps)
{
    GridMap(4, 3, {1, 5});
    EXPECT_EQ(PathOf(0, 3), (std::vector<int32_t>{4, 8, 9, 10, 6, 2, 3}));
    // Cells on a row's end never lead to the next row's start.
    EXPECT_EQ(PathOf(3, 4), (std::vector<int32_t>{7, 6, 10, 9, 8, 4}));
    EXPECT_EQ(CountReports("死路"), 0);
}

TEST(Astar, OpenMapAndFollowerDirections)
{
    GridMap(4, 3, {});
    EXPECT_EQ(PathOf(0, 11), (std::vector<int32_t>{4, 8, 9, 10, 11}));

    People p;
    p.width = 32, p.height = 48, p.boxTop = 16, p.boxBottom = 48; // centre (16, 32) is cell 0
    p.x = 0, p.y = 0;
    std::vector<int32_t> dirs;
    for (int guard = 0; guard < 200; ++guard) {
        const int32_t r = p.AstarStep(&p, 0, 11);
        if (r == 3)
            break;
        if (dirs.size() < size_t(p.pathStep))
            dirs.push_back(p.direction);
        // Walk one pixel at a time in the given direction.
        if (p.direction == 3) p.x += 1;
        if (p.direction == 2) p.x -= 1;
        if (p.direction == 0) p.y -= 1;
        if (p.direction == 1) p.y += 1;
    }
    EXPECT_EQ(dirs, (std::vector<int32_t>{1, 1, 3, 3, 3}));
    EXPECT_TRUE(p.path.empty());
    EXPECT_EQ(p.pathStep, 0) << "a cleared path starts again at its first cell";
    EXPECT_EQ(p.aiMode, 1);
    EXPECT_EQ(p.GetTileIndex(TruncToInt(p.x + 16), TruncToInt(p.y + 32)), 11);
}

TEST(Astar, NoPathCases)
{
    GridMap(4, 3, {3, 6, 7, 10});
    int32_t r = -1;
    // Goal on an obstacle.
    EXPECT_TRUE(PathOf(0, 10, &r).empty());
    EXPECT_EQ(r, 0);
    EXPECT_EQ(CountReports("ASTAR结束位置位于障碍上！"), 1);
    // Goal 11 walled in by 7 and 10.
    EXPECT_TRUE(PathOf(0, 11, &r).empty());
    EXPECT_EQ(r, 0);
    EXPECT_EQ(CountReports("Astar开启列表内容变为0！路径是完全的死路,永远无法达到终点"), 1);
    // Off the grid and already there: no search, no reports.
    EXPECT_EQ(PathOf(-1, 5, &r).size(), 0u);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(PathOf(0, 12, &r).size(), 0u);
    EXPECT_EQ(PathOf(5, 5, &r).size(), 0u);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(CountReports("死路"), 1);

    // The follower treats a walk without a path as arrived.
    People p;
    p.width = 32, p.boxTop = 16, p.boxBottom = 48;
    EXPECT_EQ(p.AstarStep(&p, 0, 11), 3);
}

TEST(Astar, ObstacleTwoIsAvoided)
{
    GridMap(3, 3, {1, 4}, 2);
    EXPECT_EQ(PathOf(0, 2), (std::vector<int32_t>{3, 6, 7, 8, 5, 2}));
}

namespace {

// What a search answers: its result, the path and the reports it raised.
struct Answer {
    int32_t result = -1;
    std::vector<int32_t> path;
    std::vector<std::string> reports;
};

// The search written again from its description, sharing nothing with the
// game's: the open list scanned from the front for every neighbour, the
// best node (smallest f, the first of equals) swapped to the front after
// every insertion or look-up, g the closed list's length, the path rebuilt
// through the parents in the closed list. A start or goal off the grid, and
// a start that is the goal, are answered at once without a report.
Answer ReferenceAstar(int32_t start, int32_t goal)
{
    struct Node {
        int32_t tile, f, g, h, parent;
    };
    Answer a;
    a.result = 0;
    const int32_t w = TruncToInt(g_MapPixelWidth / 32.0f);
    const int32_t count = g_Map.tileCount;
    if (start < 0 || goal < 0 || start >= count || goal >= count)
        return a;
    if (g_Map.GroundTile(goal).obstacle == 1) {
        a.reports.push_back("ASTAR结束位置位于障碍上！");
        return a;
    }
    if (start == goal) {
        a.result = 1;
        return a;
    }
    auto distance = [w](int32_t from, int32_t to) { return std::abs(from % w - to % w) + std::abs(from / w - to / w); };
    auto find = [](const std::vector<Node>& list, int32_t tile) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].tile == tile)
                return static_cast<int32_t>(i);
        return -1;
    };
    auto bestFirst = [](std::vector<Node>& open) {
        size_t best = 0;
        for (size_t i = 1; i < open.size(); ++i)
            if (open[i].f < open[best].f)
                best = i;
        std::swap(open[0], open[best]);
    };
    std::vector<Node> open{Node{start, -1, -1, -1, -1}}, closed;
    bool found = false;
    while (!found && !open.empty()) {
        closed.push_back(open.front());
        open.erase(open.begin());
        const int32_t t = closed.back().tile;
        std::vector<int32_t> around;
        if (t >= w)
            around.push_back(t - w);
        if (t + w < count)
            around.push_back(t + w);
        if (t % w > 0)
            around.push_back(t - 1);
        if (t % w < w - 1)
            around.push_back(t + 1);
        for (int32_t n : around) {
            if (g_Map.GroundTile(n).obstacle != 0 || find(closed, n) >= 0)
                continue;
            const int32_t g = static_cast<int32_t>(closed.size()), h = distance(n, goal);
            const int32_t listed = find(open, n);
            if (listed < 0) {
                open.push_back(Node{n, g + h, g, h, t});
                if (n == goal) {
                    closed.push_back(open.back());
                    found = true;
                    break;
                }
            } else if (g < open[static_cast<size_t>(listed)].g) {
                Node& old = open[static_cast<size_t>(listed)];
                old.parent = t;
                old.g = g;
                old.f = g + h;
            }
            bestFirst(open);
        }
    }
    if (!found) {
        a.reports.push_back("Astar开启列表内容变为0！路径是完全的死路,永远无法达到终点");
        return a;
    }
    for (int32_t at = static_cast<int32_t>(closed.size()) - 1; closed[static_cast<size_t>(at)].tile != start;
         at = find(closed, closed[static_cast<size_t>(at)].parent))
        a.path.insert(a.path.begin(), closed[static_cast<size_t>(at)].tile);
    a.result = 1;
    return a;
}

// The game's search on the same grid, with the reports it raised.
Answer GameAstar(int32_t start, int32_t goal)
{
    const auto& lines = Headless().recordingDialogs().debugLines;
    const size_t before = lines.size();
    Answer a;
    a.path = PathOf(start, goal, &a.result);
    a.reports.assign(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
    return a;
}

void ExpectSameAsReference(const astarcases::Grid& g)
{
    astarcases::Install(g);
    const Answer want = ReferenceAstar(g.start, g.goal);
    const Answer got = GameAstar(g.start, g.goal);
    const std::string where = g.name + " " + std::to_string(g.w) + "x" + std::to_string(g.h) + " from " +
                              std::to_string(g.start) + " to " + std::to_string(g.goal);
    EXPECT_EQ(got.result, want.result) << where;
    EXPECT_EQ(got.path, want.path) << where;
    EXPECT_EQ(got.reports, want.reports) << where;
}

} // namespace

TEST(Astar, SameAnswersAsThePlainSearchOnRandomGrids)
{
    FreshGameFolder();
    astarcases::Lcg r{15};
    for (int i = 0; i < 40; ++i) {
        // Mostly small and middle sizes, a few at the cap; thin strips too.
        const int32_t w = i % 10 == 0 ? astarcases::kSide : 1 + r.Below(i % 3 == 0 ? 181 : 40);
        const int32_t h = i % 10 == 0 ? astarcases::kSide : 1 + r.Below(i % 3 == 1 ? 181 : 40);
        const int32_t percent = r.Below(46);
        SCOPED_TRACE("grid " + std::to_string(i));
        ExpectSameAsReference(astarcases::Random(1000 + static_cast<uint64_t>(i), w, h, percent, i % 2 == 1));
    }
}

TEST(Astar, SameAnswersAsThePlainSearchOnTheHeavyCases)
{
    FreshGameFolder();
    for (const astarcases::Grid& g : astarcases::NamedCases())
        ExpectSameAsReference(g);
    // The corridor's path runs its whole length.
    astarcases::Install(astarcases::Serpentine());
    EXPECT_EQ(PathOf(0, astarcases::kSide * astarcases::kSide - 1).size(), 16560u);
}
