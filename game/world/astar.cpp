// Path search over the map's cells and the follower that walks an actor
// along the path it finds.
#include <algorithm>
#include <cstdlib>

#include "core/alert.h"
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
// every node gets a number when it is appended, numbers only grow, so a
// node's number orders it in the list; a tree of minima over (f, number)
// finds "smallest f, nearest the front" at its root. The listed nodes lie in
// a ring indexed by their numbers, doubled whenever it fills, so the tree
// stays as small as the list; a cell's number is looked up in a table.
class OpenList {
public:
    void Reset(int32_t cells)
    {
        Resize(kFirstRing);
        std::fill(tree_.begin(), tree_.end(), kEmpty);
        slotOf_.assign(static_cast<size_t>(cells), -1);
        head_ = tail_ = 0;
    }
    bool Empty() const { return head_ == tail_; }
    const NODE& Front() const { return At(head_); }
    void PopFront()
    {
        slotOf_[static_cast<size_t>(At(head_).tile)] = -1;
        Set(head_, kEmpty);
        ++head_;
    }
    void PushBack(const NODE& n)
    {
        if (tail_ - head_ == ring_)
            Grow();
        At(tail_) = n;
        slotOf_[static_cast<size_t>(n.tile)] = static_cast<int32_t>(tail_);
        Set(tail_, Key(n.f, tail_));
        ++tail_;
    }
    // The listed node of a cell, or none.
    NODE* Find(int32_t tile)
    {
        const int32_t slot = slotOf_[static_cast<size_t>(tile)];
        return slot < 0 ? nullptr : &At(static_cast<uint32_t>(slot));
    }
    void Rekey(int32_t tile)
    {
        const uint32_t slot = static_cast<uint32_t>(slotOf_[static_cast<size_t>(tile)]);
        Set(slot, Key(At(slot).f, slot));
    }
    // Exchanges the best node with the front node; a list of one node stays.
    void MoveBestNodeFirst()
    {
        if (tail_ - head_ < 2)
            return;
        const uint32_t best = tree_[1] & 0xFFFFu;
        if (best == head_)
            return;
        NODE& b = At(best);
        NODE& h = At(head_);
        std::swap(b, h);
        slotOf_[static_cast<size_t>(b.tile)] = static_cast<int32_t>(best);
        slotOf_[static_cast<size_t>(h.tile)] = static_cast<int32_t>(head_);
        Set(best, Key(b.f, best));
        // The best node's key with the front's number is below every other
        // key: it is the minimum all the way up.
        for (size_t i = ring_ + (head_ & (ring_ - 1)); i >= 1; i /= 2)
            tree_[i] = Key(h.f, head_);
    }

private:
    static constexpr uint32_t kEmpty = ~uint32_t(0);
    static constexpr uint32_t kFirstRing = 256;
    // Smaller f first, then the smaller number (nearer the front). A map has
    // at most 32 767 cells, so f + 1 (f is -1 for the start) and the numbers
    // each fit 16 bits.
    static uint32_t Key(int32_t f, uint32_t slot) { return (uint32_t(f + 1) << 16) | slot; }
    NODE& At(uint32_t slot) { return nodes_[slot & (ring_ - 1)]; }
    const NODE& At(uint32_t slot) const { return nodes_[slot & (ring_ - 1)]; }
    void Set(uint32_t slot, uint32_t key)
    {
        size_t i = ring_ + (slot & (ring_ - 1));
        tree_[i] = key;
        uint32_t m = key;
        for (; i > 1; i /= 2) {
            m = std::min(m, tree_[i ^ 1]);
            if (tree_[i / 2] == m)
                break;
            tree_[i / 2] = m;
        }
    }
    void Resize(uint32_t ring)
    {
        ring_ = ring;
        nodes_.resize(ring);
        tree_.resize(2 * size_t(ring));
    }
    void Grow()
    {
        std::vector<NODE> old(nodes_);
        const uint32_t oldRing = ring_;
        Resize(ring_ * 2);
        std::fill(tree_.begin(), tree_.end(), kEmpty);
        for (uint32_t s = head_; s != tail_; ++s) {
            At(s) = old[s & (oldRing - 1)];
            tree_[ring_ + (s & (ring_ - 1))] = Key(At(s).f, s);
        }
        for (size_t i = ring_ - 1; i >= 1; --i)
            tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
    }

    uint32_t ring_ = kFirstRing;
    std::vector<uint32_t> tree_;
    std::vector<NODE> nodes_;
    std::vector<int32_t> slotOf_;
    uint32_t head_ = 0, tail_ = 0;
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
    static_assert(kMapMaxCells < 0x8000, "the open list's keys hold cell counts in 16 bits");
    if (w <= 0 || start >= count || goal >= count || count > kMapMaxCells)
        return 0;
    const TILESTRUCT* ground = g_Map.layers[0].data();
    const int32_t goalColumn = goal % w, goalRow = goal / w;

    // The search's tables live on between searches: actors search often.
    static thread_local OpenList open;
    // Per cell: the parent of a closed cell, kOpenCell for a cell not closed
    // yet, kBlockedCell for one the path must not enter. Read once from the
    // ground, in order, so the search reads small numbers instead of cells.
    constexpr int32_t kOpenCell = -2, kBlockedCell = -3;
    static thread_local std::vector<int32_t> closedParent;
    open.Reset(count);
    closedParent.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        closedParent[static_cast<size_t>(i)] = ground[i].obstacle != 0 ? kBlockedCell : kOpenCell;
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
        const int32_t row = t / w, column = t - row * w;
        // The neighbours in their order (up, down, left, right) with their
        // distances to the goal.
        int32_t around[4], distance[4];
        int k = 0;
        const int32_t across = std::abs(column - goalColumn), down = std::abs(row - goalRow);
        if (t >= w)
            around[k] = t - w, distance[k++] = across + std::abs(row - 1 - goalRow);
        if (t + w < count)
            around[k] = t + w, distance[k++] = across + std::abs(row + 1 - goalRow);
        if (column > 0)
            around[k] = t - 1, distance[k++] = std::abs(column - 1 - goalColumn) + down;
        if (column < w - 1)
            around[k] = t + 1, distance[k++] = std::abs(column + 1 - goalColumn) + down;
        for (int i = 0; i < k && !found; ++i) {
            const int32_t n = around[i];
            if (closedParent[static_cast<size_t>(n)] != kOpenCell)
                continue;
            NODE node;
            node.tile = n;
            node.g = closedCount;
            node.h = distance[i];
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
                    open.Rekey(n);
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
