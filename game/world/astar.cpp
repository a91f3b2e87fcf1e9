// Path search over the map's cells and the follower that walks an actor
// along the path it finds.
#include <algorithm>
#include <cstdlib>

#include "core/alert.h"
#include "core/globals.h"
#include "map.h"
#include "object.h"
#include "platform/gbk.h"

namespace {

int32_t MapColumns() { return TruncToInt(g_MapPixelWidth / 32.0f); }

bool InGrid(int32_t t) { return g_Map.loaded && t >= 0 && t < g_Map.tileCount; }

} // namespace

int32_t People::TileDistance(int32_t a, int32_t b) const
{
    const int32_t n = g_Map.tileCount;
    if (a < 0 || b < 0 || a >= n || b >= n)
        return -1;
    if (a == b)
        return 0;
    const int32_t w = MapColumns();
    if (w <= 0)
        return -1;
    return std::abs(a % w - b % w) + std::abs(a / w - b / w);
}

int32_t People::FindNode(const std::vector<NODE>& list, int32_t tile)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].tile == tile)
            return static_cast<int32_t>(i);
    return -1;
}

void People::SetNodeCost(NODE* node, const std::vector<NODE>& closed, int32_t goal) const
{
    node->g = static_cast<int32_t>(closed.size());
    node->h = TileDistance(node->tile, goal);
    node->f = node->g + node->h;
}

void People::MoveBestNodeFirst(std::vector<NODE>* open)
{
    if (open->size() < 2)
        return;
    size_t best = 0;
    for (size_t i = 1; i < open->size(); ++i)
        if ((*open)[i].f < (*open)[best].f)
            best = i;
    std::swap((*open)[0], (*open)[best]);
}

int32_t People::Astar(People* actor, int32_t start, int32_t goal)
{
    // An actor or target off the map has no cell to search from or to.
    if (!InGrid(start) || !InGrid(goal))
        return 0;
    if (g_Map.GroundTile(goal).obstacle == 1) {
        Alert(plat::GBK("ASTAR结束位置位于障碍上！"));
        return 0;
    }
    // Already there: an empty path, nothing to search.
    if (start == goal)
        return 1;
    const int32_t w = MapColumns();
    const int32_t count = g_Map.tileCount;
    std::vector<NODE> open(1), closed;
    std::vector<char> isClosed(static_cast<size_t>(count), 0);
    open[0].tile = start;
    bool found = false;
    while (!found && !open.empty()) {
        const NODE current = open.front();
        closed.push_back(current);
        isClosed[static_cast<size_t>(current.tile)] = 1;
        open.erase(open.begin());
        const int32_t t = current.tile;
        int32_t around[4];
        int k = 0;
        if (t >= w)
            around[k++] = t - w;
        if (t + w < count)
            around[k++] = t + w;
        if (t % w > 0)
            around[k++] = t - 1;
        if (t % w < w - 1)
            around[k++] = t + 1;
        for (int i = 0; i < k && !found; ++i) {
            const int32_t n = around[i];
            if (g_Map.GroundTile(n).obstacle != 0 || isClosed[static_cast<size_t>(n)])
                continue;
            NODE node;
            node.tile = n;
            SetNodeCost(&node, closed, goal);
            const int32_t listed = FindNode(open, n);
            if (listed < 0) {
                node.parent = t;
                open.push_back(node);
                if (n == goal) {
                    closed.push_back(node);
                    found = true;
                } else {
                    MoveBestNodeFirst(&open);
                }
            } else {
                NODE& old = open[static_cast<size_t>(listed)];
                if (node.g < old.g) {
                    old.parent = t;
                    old.g = node.g;
                    old.f = node.g + node.h;
                }
                MoveBestNodeFirst(&open);
            }
        }
    }
    if (!found) {
        Alert(plat::GBK("Astar开启列表内容变为0！路径是完全的死路,永远无法达到终点"));
        return 0;
    }
    std::vector<int32_t> back;
    int32_t at = static_cast<int32_t>(closed.size()) - 1;
    while (at >= 0 && closed[static_cast<size_t>(at)].tile != start) {
        back.push_back(closed[static_cast<size_t>(at)].tile);
        at = FindNode(closed, closed[static_cast<size_t>(at)].parent);
    }
    actor->path.insert(actor->path.end(), back.rbegin(), back.rend());
    return 1;
}

int32_t People::AstarStep(People* actor, int32_t start, int32_t goal)
{
    const int32_t c = actor->GetTileIndex(TruncToInt(actor->x + static_cast<float>(actor->width / 2)),
                                          TruncToInt(actor->y + static_cast<float>(actor->boxTop) +
                                                     static_cast<float>((actor->boxBottom - actor->boxTop) / 2)));
    if (actor->path.empty()) {
        Astar(actor, start, goal);
        actor->lastTile = c;
        actor->pathStep = 0;
    }
    if (c == actor->lastTile) {
        if (actor->pathStep < 0 || static_cast<size_t>(actor->pathStep) >= actor->path.size()) {
            // Arrived: a cleared path starts again from its first cell.
            actor->path.clear();
            actor->pathStep = 0;
            return 3;
        }
        const int32_t t = actor->path[static_cast<size_t>(actor->pathStep)];
        const int32_t w = MapColumns();
        if (t - c == 1)
            actor->direction = 3;
        else if (c - t == 1)
            actor->direction = 2;
        else if (c - t == w)
            actor->direction = 0;
        else if (t - c == w)
            actor->direction = 1;
        else
            Alert(plat::GBK("不能跳步走!"));
        actor->lastTile = t;
        ++actor->pathStep;
    }
    actor->aiMode = 1;
    return 1;
}
