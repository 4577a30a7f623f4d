#include "ToolpathPicture.h"

#include "MirrorModes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTurn = 2 * kPi;
constexpr unsigned kPlaneBits = kAxisBitX | kAxisBitY;
constexpr int kMaxReductions = 200;

// Coordinates, centres and radii beyond any machine's travel are not
// drawn: a picture that held them would show nothing else (and their
// squares and sums would overflow). Not finite: not drawn either.
constexpr double kFarthest = 1e12;
bool Drawable(double v) { return std::fabs(v) <= kFarthest; }

bool SamePoint(double ax, double ay, double bx, double by)
{
    const double scale = std::max({1.0, std::fabs(ax), std::fabs(ay)});
    return std::fabs(ax - bx) <= 1e-9 * scale && std::fabs(ay - by) <= 1e-9 * scale;
}

// The angle `to` lies at from `from` in the arc's direction, in [0, 2 pi).
double TurnFrom(double from, double to, bool clockwise)
{
    double d = clockwise ? from - to : to - from;
    d = std::fmod(d, kTurn);
    return d < 0 ? d + kTurn : d;
}

}  // namespace

bool PictureBounds::Add(double x, double y)
{
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return true;
    }
    if (x >= minX && x <= maxX && y >= minY && y <= maxY)
        return false;
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
    return true;
}

double ArcSweep(const PictureItem& arc)
{
    return arc.type == PictureItem::Type::Circle ? kTurn : SweepFrom(arc, std::atan2(arc.y0 - arc.cy, arc.x0 - arc.cx));
}

double SweepFrom(const PictureItem& arc, double from)
{
    if (arc.type == PictureItem::Type::Circle)
        return kTurn;
    const double to = std::atan2(arc.y1 - arc.cy, arc.x1 - arc.cx);
    const double sweep = TurnFrom(from, to, arc.clockwise);
    return sweep > 0 ? sweep : kTurn;
}

CToolpathPicture::CToolpathPicture()
{
    // The mirror's axes pass through the origin: it is always in view.
    m_bounds.Add(0, 0);
}

void CToolpathPicture::Include(double x, double y)
{
    if (!m_bounds.Add(x, y))
        return;
    const double extent = std::max(m_bounds.maxX - m_bounds.minX, m_bounds.maxY - m_bounds.minY);
    m_dMergeLength = std::max(extent / kNominalPixels, m_dForcedLength);
}

std::size_t CToolpathPicture::ItemCount() const
{
    std::size_t count = 0;
    for (const LayerData& layer : m_layers)
        count += layer.items.size() + layer.holes.size();
    return count;
}

void CToolpathPicture::Add(PictureLayer layer, const LineMoves& line)
{
    LayerData& data = Data(layer);
    // A layer takes its room with its first line: a run that draws nothing
    // (a proof alone) takes none.
    if (data.items.capacity() == 0)
        data.items.reserve(1 << 12);
    ++data.lines;
    NoteOffset(data, line);
    const std::size_t items = data.items.size(), holes = data.holes.size();
    const bool drawn = !line.moved || AddMove(data, line.move);
    if (m_dCellLength > 0 && (data.items.size() > items || data.holes.size() > holes))
        DropNewDuplicates(data, items, holes);
    const bool missing = line.kind == LineKind::NotRead || !drawn;
    if (missing && data.unread++ == 0)
        data.firstUnread = data.lines;
    if (line.holdsPlaneWords && line.kind != LineKind::Skip) {
        ++data.motionLines;
        data.motionUnread += missing ? 1 : 0;
    }
    if (line.moved && ItemCount() > m_nReduceAt)
        Reduce();
}

void CToolpathPicture::NoteOffset(LayerData& layer, const LineMoves& line)
{
    if (line.workOffset == 0 || (line.workOffset == layer.offset && line.workOffsetNumber == layer.number))
        return;
    layer.offset = line.workOffset;
    layer.number = line.workOffsetNumber;
    layer.pending.offset = line.workOffset;
    layer.pending.number = line.workOffsetNumber;
    layer.changePending = true;
}

void CToolpathPicture::Drawn(LayerData& layer, double x0, double y0, double x1, double y1)
{
    if (!layer.hasEnds) {
        layer.hasEnds = true;
        layer.first = PicturePoint{x0, y0};
    }
    layer.last = PicturePoint{x1, y1};
    if (!layer.changePending)
        return;
    layer.changePending = false;
    // Where the tool arrives in the new coordinates.
    if (layer.marks.size() < kMaxOffsetMarks) {
        layer.pending.x = x1;
        layer.pending.y = y1;
        layer.marks.push_back(layer.pending);
    }
}

void CToolpathPicture::Finish()
{
    for (LayerData& layer : m_layers) {
        const std::size_t items = layer.items.size();
        Close(layer.chain, layer.items);
        if (m_dCellLength > 0)
            DropNewDuplicates(layer, items, layer.holes.size());
    }
    if (ItemCount() > kMaxItems)
        Reduce();
}

void CToolpathPicture::ReflectSource(const MirrorMode& mode, double positionX, double positionY)
{
    // x -> 2A - x about the line x = A (A = 0: the axis).
    const double sx = mode.negatesX ? -1 : 1, sy = mode.negatesY ? -1 : 1;
    const double tx = mode.negatesX ? 2 * positionX : 0, ty = mode.negatesY ? 2 * positionY : 0;
    const bool reverses = ReversesPlane(mode, kPlaneXY);
    const LayerData& source = Data(PictureLayer::Source);
    LayerData& mirror = Data(PictureLayer::Mirror);
    mirror.items = source.items;
    for (PictureItem& item : mirror.items) {
        item.x0 = tx + sx * item.x0;
        item.x1 = tx + sx * item.x1;
        item.cx = tx + sx * item.cx;
        item.y0 = ty + sy * item.y0;
        item.y1 = ty + sy * item.y1;
        item.cy = ty + sy * item.cy;
        item.clockwise = item.clockwise != reverses;
    }
    mirror.holes = source.holes;
    for (PicturePoint& hole : mirror.holes) {
        hole.x = tx + sx * hole.x;
        hole.y = ty + sy * hole.y;
    }
    mirror.lines = source.lines;
    mirror.hasEnds = source.hasEnds;
    mirror.first = PicturePoint{tx + sx * source.first.x, ty + sy * source.first.y};
    mirror.last = PicturePoint{tx + sx * source.last.x, ty + sy * source.last.y};
    mirror.marks = source.marks;
    for (PictureOffsetMark& mark : mirror.marks) {
        mark.x = tx + sx * mark.x;
        mark.y = ty + sy * mark.y;
    }
    const PictureBounds b = m_bounds;
    Include(tx + sx * b.minX, ty + sy * b.minY);
    Include(tx + sx * b.maxX, ty + sy * b.maxY);
}

bool CToolpathPicture::AddMove(LayerData& layer, const ToolMove& move)
{
    Chain& chain = layer.chain;
    if (move.kind == MoveKind::Apart) {
        // Machine positions are not joined into the path.
        Close(chain, layer.items);
        return true;
    }
    const bool endKnown = (move.endKnown & kPlaneBits) == kPlaneBits;
    if (!endKnown) {
        Close(chain, layer.items);
        return true;
    }
    const double x = move.end[0], y = move.end[1];
    if (!Drawable(x) || !Drawable(y)) {
        Close(chain, layer.items);
        return false;
    }
    // A start that could not be drawn was left out with its own line.
    const bool startKnown = (move.startKnown & kPlaneBits) == kPlaneBits && Drawable(move.start[0]) &&
                            Drawable(move.start[1]);
    Include(x, y);
    if (startKnown)
        Drawn(layer, move.start[0], move.start[1], x, y);
    else
        Drawn(layer, x, y, x, y);
    if (!startKnown) {
        // From nowhere known: the path begins here.
        Restart(chain, layer.items, x, y);
        if (move.kind == MoveKind::Hole)
            AddHole(layer, x, y);
        return true;
    }
    if (!chain.open || chain.px != move.start[0] || chain.py != move.start[1])
        Restart(chain, layer.items, move.start[0], move.start[1]);
    switch (move.kind) {
    case MoveKind::Rapid:
    case MoveKind::Feed: LineTo(chain, layer.items, x, y, move.kind == MoveKind::Rapid, MergeLength()); break;
    case MoveKind::Hole:
        LineTo(chain, layer.items, x, y, true, MergeLength());
        AddHole(layer, x, y);
        break;
    default:
        // Arcs outside the XY plane show as the projection of their ends.
        if (move.plane == 17 && (move.hasCentre || move.hasRadius))
            return AddArc(layer, move);
        LineTo(chain, layer.items, x, y, false, MergeLength());
        break;
    }
    return true;
}

bool CToolpathPicture::AddArc(LayerData& layer, const ToolMove& move)
{
    PictureItem arc;
    arc.type = PictureItem::Type::Arc;
    arc.clockwise = move.kind == MoveKind::ArcCw;
    arc.x0 = move.start[0];
    arc.y0 = move.start[1];
    arc.x1 = move.end[0];
    arc.y1 = move.end[1];
    const bool closed = SamePoint(arc.x0, arc.y0, arc.x1, arc.y1);
    if (move.hasRadius) {
        // The centre on the side that R's sign and the direction give.
        const double dx = arc.x1 - arc.x0, dy = arc.y1 - arc.y0;
        const double chord = std::hypot(dx, dy);
        if (closed || chord == 0)
            return true;  // no circle is defined by R alone
        if (!Drawable(move.radius)) {
            Close(layer.chain, layer.items);
            return false;
        }
        const double r = std::max(std::fabs(move.radius), chord / 2);
        const double h = std::sqrt(std::max(0.0, r * r - chord * chord / 4));
        const double side = (arc.clockwise ? 1.0 : -1.0) * (move.radius < 0 ? -1.0 : 1.0);
        arc.cx = (arc.x0 + arc.x1) / 2 + side * h * dy / chord;
        arc.cy = (arc.y0 + arc.y1) / 2 - side * h * dx / chord;
        arc.r = r;
    } else {
        arc.cx = move.centre[0];
        arc.cy = move.centre[1];
        if (!Drawable(arc.cx) || !Drawable(arc.cy)) {
            Close(layer.chain, layer.items);
            return false;
        }
        arc.r = std::hypot(arc.x0 - arc.cx, arc.y0 - arc.cy);
        if (closed)
            arc.type = PictureItem::Type::Circle;
    }
    if (arc.r == 0) {
        LineTo(layer.chain, layer.items, arc.x1, arc.y1, false, MergeLength());
        return true;
    }
    // The angles once for the arc's size, its bounds and its merging.
    const double from = std::atan2(arc.y0 - arc.cy, arc.x0 - arc.cx);
    const double sweep = SweepFrom(arc, from);
    arc.large = sweep > kPi;
    AddArcBounds(arc, from, sweep);
    PutArc(layer.chain, layer.items, arc, sweep, MergeLength());
    return true;
}

void CToolpathPicture::AddArcBounds(const PictureItem& arc, double from, double sweep)
{
    Include(arc.x0, arc.y0);
    Include(arc.x1, arc.y1);
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double angle = quarter * kPi / 2;
        if (TurnFrom(from, angle, arc.clockwise) <= sweep)
            Include(arc.cx + arc.r * std::cos(angle), arc.cy + arc.r * std::sin(angle));
    }
}

void CToolpathPicture::AddHole(LayerData& layer, double x, double y)
{
    if (!layer.holes.empty()) {
        const PicturePoint& last = layer.holes.back();
        if (std::hypot(x - last.x, y - last.y) <= MergeLength())
            return;
    }
    layer.holes.push_back(PicturePoint{x, y});
}

void CToolpathPicture::MoveTo(Chain& chain, double x, double y) const
{
    chain.open = true;
    chain.ax = chain.px = x;
    chain.ay = chain.py = y;
    chain.cone = false;
    chain.reach = 0;
}

void CToolpathPicture::Flush(Chain& chain, std::vector<PictureItem>& items) const
{
    if (!chain.open || (chain.px == chain.ax && chain.py == chain.ay))
        return;
    PictureItem line;
    line.rapid = chain.rapid;
    line.x0 = chain.ax;
    line.y0 = chain.ay;
    line.x1 = chain.px;
    line.y1 = chain.py;
    items.push_back(line);
    chain.ax = chain.px;
    chain.ay = chain.py;
    chain.cone = false;
    chain.reach = 0;
}

void CToolpathPicture::Close(Chain& chain, std::vector<PictureItem>& items) const
{
    Flush(chain, items);
    chain.open = false;
}

void CToolpathPicture::Restart(Chain& chain, std::vector<PictureItem>& items, double x, double y) const
{
    Flush(chain, items);
    MoveTo(chain, x, y);
}

void CToolpathPicture::LineTo(Chain& chain, std::vector<PictureItem>& items, double x, double y, bool rapid,
                              double length) const
{
    if (!chain.open) {
        MoveTo(chain, x, y);
        return;
    }
    if (rapid != chain.rapid) {
        Flush(chain, items);
        chain.rapid = rapid;
    }
    double dx = x - chain.ax, dy = y - chain.ay;
    if (chain.cone) {
        // Along and across the direction the run set out on: the point must
        // lie within the slopes that keep every point seen so far within the
        // merge length of the segment, and not turn back.
        const double along = chain.ux * dx + chain.uy * dy;
        const double across = chain.ux * dy - chain.uy * dx;
        if (along > 0 && along >= chain.reach - length && across >= chain.lo * along && across <= chain.hi * along) {
            Narrow(chain, along, across, length);
            chain.px = x;
            chain.py = y;
            return;
        }
        Flush(chain, items);
        dx = x - chain.ax;
        dy = y - chain.ay;
    }
    chain.px = x;
    chain.py = y;
    const double d2 = dx * dx + dy * dy;
    if (d2 <= length * length)
        return;  // within the merge length of the anchor: no constraint
    const double d = std::sqrt(d2);
    chain.ux = dx / d;
    chain.uy = dy / d;
    chain.lo = -length / d;
    chain.hi = length / d;
    chain.reach = d;
    chain.cone = true;
}

void CToolpathPicture::Narrow(Chain& chain, double along, double across, double length)
{
    // A line of slope m through the anchor passes within the merge length
    // of the point when |across - m along| <= length (a little narrower
    // than the exact bound, which allows length * sqrt(1 + m^2)).
    if (along <= length)
        return;
    const double inverse = 1 / along;
    chain.lo = std::max(chain.lo, (across - length) * inverse);
    chain.hi = std::min(chain.hi, (across + length) * inverse);
    chain.reach = std::max(chain.reach, along);
}

void CToolpathPicture::PutArc(Chain& chain, std::vector<PictureItem>& items, const PictureItem& arc,
                              double sweep, double length) const
{
    if (arc.type == PictureItem::Type::Circle) {
        // A circle ends where it starts: the run of straight moves goes on.
        if (2 * arc.r >= length)
            items.push_back(arc);
        return;
    }
    if (arc.r * sweep < length) {
        LineTo(chain, items, arc.x1, arc.y1, false, length);
        return;
    }
    Flush(chain, items);
    items.push_back(arc);
    MoveTo(chain, arc.x1, arc.y1);
    chain.rapid = false;
}

void CToolpathPicture::ReduceLayer(LayerData& layer, double length)
{
    // The items kept go to the scratch vector and are merged back: neither
    // gives up its room.
    m_scratch.swap(layer.items);
    layer.items.clear();
    Chain chain;
    for (const PictureItem& item : m_scratch) {
        if (item.type != PictureItem::Type::Circle &&
            !(chain.open && chain.px == item.x0 && chain.py == item.y0))
            Restart(chain, layer.items, item.x0, item.y0);
        if (item.type == PictureItem::Type::Line)
            LineTo(chain, layer.items, item.x1, item.y1, item.rapid, length);
        else
            PutArc(chain, layer.items, item, ArcSweep(item), length);
    }
    Flush(chain, layer.items);

    std::vector<PicturePoint> holes;
    holes.swap(layer.holes);
    for (const PicturePoint& hole : holes)
        if (layer.holes.empty() || std::hypot(hole.x - layer.holes.back().x, hole.y - layer.holes.back().y) > length)
            layer.holes.push_back(hole);
}

namespace {

// Mixes 64 bits into a digest.
std::uint64_t Mix(std::uint64_t h, std::uint64_t bits)
{
    h = (h ^ bits) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// The cell of `v` on a grid of 1 / `perLength`, as bits (+0 for the cells
// at zero).
std::uint64_t CellBits(double v, double perLength)
{
    const double cell = std::floor(v * perLength) + 0.0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &cell, sizeof bits);
    return bits;
}

// An item by its kind and the cells its points fall into.
std::uint64_t CellDigest(const PictureItem& item, double perLength)
{
    std::uint64_t h = static_cast<unsigned>(item.type) << 3 | unsigned{item.rapid} << 2 |
                      unsigned{item.clockwise} << 1 | unsigned{item.large};
    for (const double v : {item.x0, item.y0, item.x1, item.y1, item.cx, item.cy})
        h = Mix(h, CellBits(v, perLength));
    return h;
}

std::uint64_t CellDigest(const PicturePoint& hole, double perLength)
{
    return Mix(Mix(1u << 8, CellBits(hole.x, perLength)), CellBits(hole.y, perLength));
}

}  // namespace

void CToolpathPicture::CellSet::Clear()
{
    m_slots.clear();
    m_nCount = 0;
}

bool CToolpathPicture::CellSet::Insert(std::uint64_t digest)
{
    digest += digest == 0;  // 0 marks an empty slot
    if (2 * (m_nCount + 1) > m_slots.size()) {
        // At most half full: grown to twice the size, the digests placed again.
        std::vector<std::uint64_t> old(std::max<std::size_t>(1024, 2 * m_slots.size()));
        old.swap(m_slots);
        m_nCount = 0;
        for (const std::uint64_t kept : old)
            if (kept != 0)
                Insert(kept);
    }
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(digest) & mask;; i = (i + 1) & mask) {
        if (m_slots[i] == digest)
            return false;
        if (m_slots[i] == 0) {
            m_slots[i] = digest;
            ++m_nCount;
            return true;
        }
    }
}

void CToolpathPicture::DropDuplicates(LayerData& layer) const
{
    layer.cells.Clear();
    DropNewDuplicates(layer, 0, 0);
}

void CToolpathPicture::DropNewDuplicates(LayerData& layer, std::size_t items, std::size_t holes) const
{
    const double perLength = 1 / m_dCellLength;
    std::size_t kept = items;
    for (std::size_t i = items; i < layer.items.size(); ++i)
        if (layer.cells.Insert(CellDigest(layer.items[i], perLength)))
            layer.items[kept++] = layer.items[i];
    layer.items.resize(kept);
    kept = holes;
    for (std::size_t i = holes; i < layer.holes.size(); ++i)
        if (layer.cells.Insert(CellDigest(layer.holes[i], perLength)))
            layer.holes[kept++] = layer.holes[i];
    layer.holes.resize(kept);
}

void CToolpathPicture::Reduce()
{
    for (int round = 0; round < kMaxReductions && ItemCount() > kMaxItems / 2; ++round) {
        const double scale = std::max({1.0, std::fabs(m_bounds.minX), std::fabs(m_bounds.maxX),
                                       std::fabs(m_bounds.minY), std::fabs(m_bounds.maxY)});
        m_dForcedLength = std::max(2 * MergeLength(), 1e-9 * scale);
        m_dMergeLength = m_dForcedLength;
        m_dCellLength = m_dForcedLength;
        for (LayerData& layer : m_layers) {
            ReduceLayer(layer, m_dForcedLength);
            DropDuplicates(layer);
        }
    }
    // Should a reduction ever fall short of its aim, the next one waits
    // until the count has doubled: the time stays linear in the lines.
    m_nReduceAt = std::max(kMaxItems, 2 * ItemCount());
}
