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

namespace {

// The open list of the search, kept in exactly the order the plain list
// would have (taking the front shifts the rest along, the best node swaps
// places with the front, new nodes go to the back), without its scans:
// nodes sit in slots that only ever grow, so a slot's number orders it in
// the list, and a tree of minima over (f, slot) finds "smallest f, nearest
// the front" at its root. A cell's slot is looked up in a table.
class OpenList {
public:
    void Reset(int32_t cells)
    {
        const size_t capacity = static_cast<size_t>(cells) + 1; // every cell once, and the start
        leaves_ = 1;
        while (leaves_ < capacity)
            leaves_ *= 2;
        tree_.assign(2 * leaves_, kEmpty);
        nodes_.resize(capacity);
        slotOf_.assign(static_cast<size_t>(cells), -1);
        head_ = tail_ = 0;
    }
    bool Empty() const { return head_ == tail_; }
    const NODE& Front() const { return nodes_[head_]; }
    void PopFront()
    {
        slotOf_[static_cast<size_t>(nodes_[head_].tile)] = -1;
        Set(head_, kEmpty);
        ++head_;
    }
    void PushBack(const NODE& n)
    {
        nodes_[tail_] = n;
        slotOf_[static_cast<size_t>(n.tile)] = static_cast<int32_t>(tail_);
        Set(tail_, Key(n.f, tail_));
        ++tail_;
    }
    // The listed node of a cell, or none.
    NODE* Find(int32_t tile)
    {
        const int32_t slot = slotOf_[static_cast<size_t>(tile)];
        return slot < 0 ? nullptr : &nodes_[static_cast<size_t>(slot)];
    }
    void Rekey(const NODE* n)
    {
        const size_t slot = static_cast<size_t>(n - nodes_.data());
        Set(slot, Key(n->f, slot));
    }
    // Exchanges the best node with the front node; a list of one node stays.
    void MoveBestNodeFirst()
    {
        if (tail_ - head_ < 2)
            return;
        const size_t best = static_cast<size_t>(tree_[1] & 0xFFFFFFFFu);
        if (best == head_)
            return;
        std::swap(nodes_[best], nodes_[head_]);
        slotOf_[static_cast<size_t>(nodes_[best].tile)] = static_cast<int32_t>(best);
        slotOf_[static_cast<size_t>(nodes_[head_].tile)] = static_cast<int32_t>(head_);
        Set(best, Key(nodes_[best].f, best));
        Set(head_, Key(nodes_[head_].f, head_));
    }

private:
    static constexpr uint64_t kEmpty = ~uint64_t(0);
    // Smaller f first, then the smaller slot (nearer the front).
    static uint64_t Key(int32_t f, size_t slot)
    {
        return (uint64_t(uint32_t(f) ^ 0x80000000u) << 32) | uint64_t(slot);
    }
    void Set(size_t slot, uint64_t key)
    {
        size_t i = leaves_ + slot;
        tree_[i] = key;
        for (i /= 2; i >= 1; i /= 2) {
            const uint64_t m = std::min(tree_[2 * i], tree_[2 * i + 1]);
            if (tree_[i] == m)
                break;
            tree_[i] = m;
        }
    }

    size_t leaves_ = 1;
    std::vector<uint64_t> tree_;
    std::vector<NODE> nodes_;
    std::vector<int32_t> slotOf_;
    size_t head_ = 0, tail_ = 0;
};

} // namespace

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
    const int32_t count = std::min<int32_t>(g_Map.tileCount, static_cast<int32_t>(g_Map.layers[0].size()));
    if (w <= 0 || start >= count || goal >= count)
        return 0;
    const TILESTRUCT* ground = g_Map.layers[0].data();
    const int32_t goalColumn = goal % w, goalRow = goal / w;

    // The search's tables live on between searches: actors search often.
    static thread_local OpenList open;
    static thread_local std::vector<int32_t> closedParent; // -2: not closed
    open.Reset(count);
    closedParent.assign(static_cast<size_t>(count), -2);
    int32_t closedCount = 0;

    NODE first;
    first.tile = start;
    open.PushBack(first);
    bool found = false;
    while (!found && !open.Empty()) {
        const NODE current = open.Front();
        closedParent[static_cast<size_t>(current.tile)] = current.parent;
        ++closedCount;
        open.PopFront();
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
            if (ground[n].obstacle != 0 || closedParent[static_cast<size_t>(n)] != -2)
                continue;
            NODE node;
            node.tile = n;
            node.g = closedCount;
            node.h = std::abs(n % w - goalColumn) + std::abs(n / w - goalRow);
            node.f = node.g + node.h;
            NODE* listed = open.Find(n);
            if (!listed) {
                node.parent = t;
                open.PushBack(node);
                if (n == goal) {
                    closedParent[static_cast<size_t>(n)] = t;
                    found = true;
                } else {
                    open.MoveBestNodeFirst();
                }
            } else {
                if (node.g < listed->g) {
                    listed->parent = t;
                    listed->g = node.g;
                    listed->f = node.g + node.h;
                    open.Rekey(listed);
                }
                open.MoveBestNodeFirst();
            }
        }
    }
    if (!found) {
        Alert(plat::GBK("Astar开启列表内容变为0！路径是完全的死路,永远无法达到终点"));
        return 0;
    }
    // Back from the goal to the start along the closed cells' parents.
    std::vector<int32_t> back;
    for (int32_t at = goal; at >= 0 && at != start; at = closedParent[static_cast<size_t>(at)])
        back.push_back(at);
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
            actor->path.clear();
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
