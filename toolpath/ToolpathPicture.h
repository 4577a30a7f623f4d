// CToolpathPicture: what a picture of a program and its mirror image keeps,
// in the XY plane: the drawn segments of each layer, bounded in number
// whatever the size of the program. Moves that a pixel of the picture would
// not show are merged: a run of straight moves becomes one segment while it
// stays within a pixel of it; an arc shorter than a pixel becomes a
// straight move. When more than kMaxItems segments would be kept, the pixel
// it merges by is doubled and what it holds is merged again, segments that
// fall into the same cells of that length as one kept before dropped: at a
// length beyond the drawing's extent only a handful remain, so the bound is
// always reached. From the first reduction on, a new segment in the cells
// of one kept is dropped as it comes. Moves whose numbers cannot be drawn (beyond any machine's
// travel, or not finite) are left out and counted with the unread lines.
#pragma once

#include "ToolMove.h"

#include <cstdint>
#include <vector>

struct MirrorMode;

struct PictureItem {
    enum class Type : std::uint8_t { Line, Arc, Circle };
    Type type = Type::Line;
    bool rapid = false;      // lines: a rapid move (drawn dashed)
    bool clockwise = false;  // arcs and circles: G02
    bool large = false;      // arcs: more than half a circle
    double x0 = 0, y0 = 0;   // from (circles: a point on the circle)
    double x1 = 0, y1 = 0;   // to
    double cx = 0, cy = 0, r = 0;  // arcs and circles: centre and radius
};

struct PicturePoint {
    double x = 0, y = 0;
};

struct PictureBounds {
    bool empty = true;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    // True when the point made the bounds grow.
    bool Add(double x, double y);
};

// A change of work offset, marked at the end of the first move after it.
struct PictureOffsetMark {
    double x = 0, y = 0;
    int offset = 54;  // 54..59, or 541 (G54.1) with `number` (P)
    int number = 0;
};

enum class PictureLayer : int { Source = 0, Mirror = 1 };

class CToolpathPicture {
public:
    static constexpr std::size_t kMaxItems = 200000;  // segments and holes of both layers
    static constexpr double kNominalPixels = 1000;    // the picture's extent, for what a pixel is
    static constexpr std::size_t kMaxOffsetMarks = 64; // per layer; later changes are counted only

    CToolpathPicture();

    // The next line of a layer's program, as its reader read it.
    void Add(PictureLayer layer, const LineMoves& line);
    // After the last line: what is still being merged is kept too.
    void Finish();
    // The mirror layer as the source layer reflected by `mode`, for runs
    // that do not read the mirrored program's lines.
    void ReflectSource(const MirrorMode& mode, double positionX = 0, double positionY = 0);
    // Keeps the mirror's line or point (x, y) in view.
    void IncludePosition(double x, double y) { Include(x, y); }
    // Fixed-width programs: their numbers are in units of the program, not
    // millimetres.
    void SetProgramUnits(bool programUnits) { m_bProgramUnits = programUnits; }
    bool ProgramUnits() const { return m_bProgramUnits; }

    const std::vector<PictureItem>& Items(PictureLayer layer) const { return Data(layer).items; }
    const std::vector<PicturePoint>& Holes(PictureLayer layer) const { return Data(layer).holes; }
    bool HasLines(PictureLayer layer) const { return Data(layer).lines > 0; }
    long long UnreadLines(PictureLayer layer) const { return Data(layer).unread; }
    long long FirstUnreadLine(PictureLayer layer) const { return Data(layer).firstUnread; }
    // Lines with an X, Y, I or J word, and those of them the picture lacks.
    long long MotionLines(PictureLayer layer) const { return Data(layer).motionLines; }
    long long UnreadMotionLines(PictureLayer layer) const { return Data(layer).motionUnread; }
    // Where the drawn path begins and ends; false when nothing was drawn.
    bool HasEnds(PictureLayer layer) const { return Data(layer).hasEnds; }
    PicturePoint First(PictureLayer layer) const { return Data(layer).first; }
    PicturePoint Last(PictureLayer layer) const { return Data(layer).last; }
    const std::vector<PictureOffsetMark>& OffsetMarks(PictureLayer layer) const { return Data(layer).marks; }
    // Everything drawn, and the origin.
    const PictureBounds& Bounds() const { return m_bounds; }
    // The length below which moves were merged, in program units.
    double MergeLength() const { return m_dMergeLength; }

private:
    // A run of straight moves being merged: the last point kept (anchor),
    // the last point seen, and, once a point left the anchor's pixel, the
    // direction the run set out on and the slopes against it that keep
    // every point seen since within the merge length.
    struct Chain {
        bool open = false;
        bool rapid = false;
        double ax = 0, ay = 0, px = 0, py = 0;
        bool cone = false;
        double ux = 0, uy = 0;  // the direction, a unit vector
        double lo = 0, hi = 0;  // the slopes allowed
        double reach = 0;       // the farthest along it any point of the run came
    };
    // The cells of the items and holes kept, once a reduction began to
    // drop duplicates: 64-bit digests in an open-addressed table.
    class CellSet {
    public:
        void Clear();
        // False when `digest` was in the set already.
        bool Insert(std::uint64_t digest);

    private:
        std::vector<std::uint64_t> m_slots;  // 0: empty
        std::size_t m_nCount = 0;
    };
    struct LayerData {
        std::vector<PictureItem> items;
        std::vector<PicturePoint> holes;
        CellSet cells;
        Chain chain;
        long long lines = 0;
        long long unread = 0;
        long long firstUnread = 0;
        long long motionLines = 0;
        long long motionUnread = 0;
        bool hasEnds = false;
        PicturePoint first, last;
        std::vector<PictureOffsetMark> marks;
        PictureOffsetMark pending;  // a change not yet marked
        bool changePending = false;
        int offset = 0, number = 0;  // the offset in force (0: none selected)
    };

    LayerData& Data(PictureLayer layer) { return m_layers[static_cast<int>(layer)]; }
    const LayerData& Data(PictureLayer layer) const { return m_layers[static_cast<int>(layer)]; }

    // False when the move cannot be drawn and is left out.
    bool AddMove(LayerData& layer, const ToolMove& move);
    bool AddArc(LayerData& layer, const ToolMove& move);
    void AddHole(LayerData& layer, double x, double y);
    // `from`: the angle of the arc's start about its centre; `sweep`: see ArcSweep.
    void AddArcBounds(const PictureItem& arc, double from, double sweep);

    void MoveTo(Chain& chain, double x, double y) const;
    void LineTo(Chain& chain, std::vector<PictureItem>& items, double x, double y, bool rapid, double length) const;
    // The slopes narrowed to those that pass a point of the run.
    static void Narrow(Chain& chain, double along, double across, double length);
    void Flush(Chain& chain, std::vector<PictureItem>& items) const;
    void Close(Chain& chain, std::vector<PictureItem>& items) const;
    // The chain at (x, y), whatever it held before.
    void Restart(Chain& chain, std::vector<PictureItem>& items, double x, double y) const;
    // Keeps an arc (of this sweep), or a straight move where it is shorter
    // than `length`.
    void PutArc(Chain& chain, std::vector<PictureItem>& items, const PictureItem& arc, double sweep,
                double length) const;

    std::size_t ItemCount() const;
    // Doubles the merge length and merges what is kept again, until it fits.
    void Reduce();
    void ReduceLayer(LayerData& layer, double length);
    // Drops the items and holes that fall into the same cells of the grid
    // of `length` as one kept before them.
    void DropDuplicates(LayerData& layer) const;
    // The same for the items and holes from these counts on, against those
    // kept before them.
    void DropNewDuplicates(LayerData& layer, std::size_t items, std::size_t holes) const;

    // The ends of the drawn path, and a pending offset change marked, at a
    // move drawn from (x0, y0) (the start where known) to (x1, y1).
    static void Drawn(LayerData& layer, double x0, double y0, double x1, double y1);
    static void NoteOffset(LayerData& layer, const LineMoves& line);

    // Grows the bounds by a point, and the merge length with them.
    void Include(double x, double y);

    LayerData m_layers[2];
    std::vector<PictureItem> m_scratch;  // a layer's items while they are merged again
    PictureBounds m_bounds;
    double m_dForcedLength = 0;
    double m_dMergeLength = 0;
    // The count of items beyond which the next reduction runs: twice what a
    // reduction could not merge away, so that it never runs on every line.
    std::size_t m_nReduceAt = kMaxItems;
    // The length of the cells duplicates are told by; 0 until a reduction.
    double m_dCellLength = 0;
    bool m_bProgramUnits = false;
};

// Sweep of an arc from its start to its end point about its centre, in
// radians, in its direction (a full turn when they coincide).
double ArcSweep(const PictureItem& arc);
// The same for an arc whose start lies at the angle `from` about its centre.
double SweepFrom(const PictureItem& arc, double from);
