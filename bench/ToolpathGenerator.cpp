// The realistic content: a job of several operations, each with its tool
// change, as a CAM post-processor writes them. Most of the bytes are 3D
// surfacing (millions of short G01 moves); pockets bring cutter compensation
// and arcs with I/J, drilling brings canned cycles.
#include "ProgramText.h"

namespace {

// Directions of surfacing passes, as thousandths of a unit vector.
const int kDirections[][2] = {
    {1000, 0}, {966, 259}, {866, 500}, {707, 707}, {500, 866}, {259, 966}, {0, 1000},
};

// Comments carry no '.' and no X/Y/Z/I/J/K followed by a digit, a blank or
// a sign, so that they leave a fixed-width program fixed width.
const char* const kToolNames[] = {"BALL MILL", "FLAT END MILL", "BULL NOSE", "DRILL"};

class CToolpathWriter {
public:
    CToolpathWriter(CProgramText& text, CBenchRandom& random) : m_text(text), m_random(random) {}

    void Job()
    {
        Header();
        while (!m_text.Full() && !m_text.Failed()) {
            const long long pick = m_random.Range(0, 99);
            if (pick < 70)
                Surfacing();
            else if (pick < 90)
                Pocket();
            else
                Drilling();
        }
        Footer();
    }

private:
    bool Fixed() const { return m_text.Fixed(); }

    void Line(const char* text)
    {
        m_text.Text(text);
        m_text.EndLine();
    }

    void Header()
    {
        Line("%");
        Line(Fixed() ? "O1001(SURFACE PART 4711)" : "O1001 (SURFACE PART 4711)");
        Line("(CAM POST GENERIC ISO)");
        m_text.Block();
        for (int g : {90, 17, 21, 40})
            m_text.Code('G', g, 2);
        if (!Fixed())
            m_text.Code('G', 49, 2);
        m_text.Code('G', 80, 2);
        m_text.EndLine();
    }

    void Footer()
    {
        Retract();
        m_text.Block();
        m_text.Code('M', 9, 2);
        m_text.EndLine();
        m_text.Block();
        m_text.Code('M', 5, 2);
        m_text.EndLine();
        m_text.Block();
        m_text.Code('G', 91, 2);
        m_text.Code('G', 28, 2);
        m_text.Coordinate('Z', 0);
        m_text.EndLine();
        m_text.Block();
        m_text.Code('M', 30, 2);
        m_text.EndLine();
        Line("%");
    }

    void ToolChange(const char* operation, int toolKind)
    {
        ++m_nTool;
        if (m_nTool > 24)
            m_nTool = 1;
        if (m_bSpindle)
            Retract();
        std::string comment = "(";
        comment += operation;
        comment += " T";
        if (m_nTool < 10)
            comment += '0';
        comment += std::to_string(m_nTool);
        comment += ' ';
        comment += kToolNames[toolKind];
        comment += Fixed() ? " D" : " D=";
        comment += std::to_string(2 * m_random.Range(2, 8));
        if (!Fixed())
            comment += '.';
        comment += ')';
        Line(comment.c_str());

        m_text.Block();
        m_text.Code('T', m_nTool, Fixed() ? 2 : 1);
        m_text.Code('M', 6, 2);
        m_text.EndLine();
        m_text.Block();
        m_text.Code('S', 1000 * m_random.Range(3, 18));
        m_text.Code('M', 3, 2);
        m_text.EndLine();
        m_nMotion = -1;
        m_bKnown = false;
        m_bSpindle = true;
    }

    // Rapid to a point above the start of a cut, then down to the surface.
    void Approach(long long x, long long y, long long z)
    {
        m_text.Block();
        m_text.Code('G', 0, 2);
        m_nMotion = 0;
        m_text.Code('G', 54, 2);
        m_text.Coordinate('X', x);
        m_text.Coordinate('Y', y);
        m_text.EndLine();
        m_nX = x;
        m_nY = y;
        m_text.Block();
        if (!Fixed()) {
            m_text.Code('G', 43, 2);
            m_text.Code('H', m_nTool);
        }
        m_text.Coordinate('Z', 5000);
        m_text.EndLine();
        m_nZ = 5000;
        m_bKnown = true;
        m_text.Block();
        m_text.Code('M', 8, 2);
        m_text.EndLine();
        Move(1, x, y, z, 300);
    }

    void Retract()
    {
        if (m_nMotion == 0 && m_nZ == 50000)
            return;
        m_text.Block();
        m_text.Code('G', 0, 2);
        m_text.Coordinate('Z', 50000);
        m_text.EndLine();
        m_nMotion = 0;
        m_nZ = 50000;
    }

    // A linear move; only the words that change are written, as posts do.
    void Move(int motion, long long x, long long y, long long z, long long feed = -1, bool fine = false)
    {
        m_text.Block();
        if (motion != m_nMotion)
            m_text.Code('G', motion, 2);
        m_nMotion = motion;
        Axis('X', x, m_nX, fine);
        Axis('Y', y, m_nY, fine);
        Axis('Z', z, m_nZ, fine);
        if (feed >= 0)
            m_text.Code('F', feed);
        m_text.EndLine();
    }

    void Axis(char letter, long long value, long long& current, bool fine)
    {
        if (m_bKnown && value == current)
            return;
        if (fine)
            m_text.FineCoordinate(letter, value);
        else
            m_text.Coordinate(letter, value);
        current = value;
    }

    // A circular move with its centre relative to the start point; fixed-width
    // programs give the centre's offsets as unsigned magnitudes.
    void Arc(int motion, long long x, long long y, long long i, long long j)
    {
        if (m_text.Fixed()) {
            i = i < 0 ? -i : i;
            j = j < 0 ? -j : j;
        }
        m_text.Block();
        if (motion != m_nMotion)
            m_text.Code('G', motion, 2);
        m_nMotion = motion;
        m_text.Coordinate('X', x);
        m_text.Coordinate('Y', y);
        m_text.Coordinate('I', i);
        m_text.Coordinate('J', j);
        m_text.EndLine();
        m_nX = x;
        m_nY = y;
    }

    // Zig-zag passes over a free-form surface at an angle; Z follows the
    // surface. One operation in five is written with four decimals.
    void Surfacing()
    {
        ToolChange("SURFACE FINISH", 0);
        const bool fine = m_random.Chance(20) && !Fixed();
        const long long scale = fine ? 10 : 1;  // units of the coordinates: micrometres or tenths
        const auto& dir = kDirections[m_random.Range(0, 6)];
        const long long step = m_random.Range(300, 1500);
        const long long dx = dir[0] * step / 1000, dy = dir[1] * step / 1000;
        const long long over = m_random.Range(150, 800);
        const long long ox = -dir[1] * over / 1000, oy = dir[0] * over / 1000;
        const long long segments = m_random.Range(40, 300);
        const long long passes = m_random.Range(20, 120);
        const long long lines = m_random.Range(4000, 40000);
        long long x = m_random.Range(-200000, 200000), y = m_random.Range(-200000, 200000);
        long long z = -m_random.Range(500, 5000);
        const long long zLow = z - 20000;

        Approach(x, y, z);
        m_nX *= scale;
        m_nY *= scale;
        m_nZ *= scale;
        long long sign = 1, passSign = 1, pass = 0;
        bool firstCut = true;
        for (long long n = 0; n < lines && !m_text.Full(); ++n) {
            const bool stepOver = (n + 1) % segments == 0;
            if (stepOver) {
                if (++pass % passes == 0)
                    passSign = -passSign;
                x += passSign * ox;
                y += passSign * oy;
                sign = -sign;
            } else {
                x += sign * dx;
                y += sign * dy;
            }
            z += m_random.Range(-120, 120);
            if (z > -50)
                z = -50;
            if (z < zLow)
                z = zLow;
            const long long fourth = m_random.Range(0, 9);  // drawn in both formats alike
            const long long sub = fine ? fourth : 0;
            Move(1, x * scale + sub, y * scale, z * scale + sub, firstCut ? 1200 : -1, fine);
            firstCut = false;
        }
        m_nX = x;
        m_nY = y;
        m_nZ = z;
        Retract();
    }

    // Rounded-rectangle rings around a centre, level by level, with cutter
    // compensation: climb milling (G41, G03) or conventional (G42, G02).
    void Pocket()
    {
        ToolChange("ROUGH POCKET", 1);
        const long long cx = m_random.Range(-150000, 150000), cy = m_random.Range(-150000, 150000);
        const long long a0 = m_random.Range(10000, 60000), b0 = m_random.Range(10000, 60000);
        const long long r0 = m_random.Range(2000, (a0 < b0 ? a0 : b0) / 2);
        const long long levels = m_random.Range(1, 6), depthStep = m_random.Range(500, 3000);
        const long long rings = m_random.Range(1, 4), ringStep = m_random.Range(1000, 4000);
        const bool climb = m_random.Chance(50);
        // Fixed-width controls pair their compensation codes as 42/43.
        const int side = Fixed() ? (climb ? 43 : 42) : (climb ? 41 : 42);
        const int arc = climb ? 3 : 2;
        const long long sy = climb ? 1 : -1;  // reflecting the ring reverses its direction

        Approach(cx, cy, 1000);
        for (long long level = 1; level <= levels && !m_text.Full(); ++level) {
            Move(1, cx, cy, -level * depthStep, 300);
            for (long long ring = rings - 1; ring >= 0 && !m_text.Full(); --ring) {
                const long long a = a0 - ring * ringStep, b = b0 - ring * ringStep;
                long long r = r0 - ring * ringStep;
                if (r < 500)
                    r = 500;
                if (a <= r || b <= r)
                    continue;
                auto Y = [&](long long dy) { return cy + sy * dy; };
                m_text.Block();
                m_text.Code('G', 1, 2);
                m_text.Code('G', side, 2);
                m_text.Code('D', m_nTool);
                m_text.Coordinate('X', cx + a);
                m_text.Coordinate('Y', Y(-b + r));
                m_text.Code('F', 800);
                m_text.EndLine();
                m_nMotion = 1;
                m_nX = cx + a;
                m_nY = Y(-b + r);
                Move(1, cx + a, Y(b - r), m_nZ);
                Arc(arc, cx + a - r, Y(b), -r, 0);
                Move(1, cx - a + r, Y(b), m_nZ);
                Arc(arc, cx - a, Y(b - r), 0, -sy * r);
                Move(1, cx - a, Y(-b + r), m_nZ);
                Arc(arc, cx - a + r, Y(-b), r, 0);
                Move(1, cx + a - r, Y(-b), m_nZ);
                Arc(arc, cx + a, Y(-b + r), 0, sy * r);
                m_text.Block();
                m_text.Code('G', 40, 2);
                m_text.Code('G', 1, 2);
                m_text.Coordinate('X', cx);
                m_text.Coordinate('Y', cy);
                m_text.EndLine();
                m_nX = cx;
                m_nY = cy;
            }
        }
        Retract();
    }

    // A canned drilling cycle over a row of holes.
    void Drilling()
    {
        ToolChange("DRILLING", 3);
        const long long holes = m_random.Range(5, 40);
        long long x = m_random.Range(-150000, 150000), y = m_random.Range(-150000, 150000);
        const long long pitch = m_random.Range(5000, 20000);
        Approach(x, y, 2000);
        m_text.Block();
        m_text.Code('G', 81, 2);
        m_text.Code('G', 99, 2);
        m_text.Coordinate('X', x);
        m_text.Coordinate('Y', y);
        m_text.Coordinate('Z', -m_random.Range(3000, 25000));
        m_text.Coordinate('R', 2000);
        m_text.Code('F', 150);
        m_text.EndLine();
        for (long long n = 1; n < holes && !m_text.Full(); ++n) {
            if (n % 8 == 0)
                y += pitch;
            else
                x += (n / 8) % 2 == 0 ? pitch : -pitch;
            m_text.Block();
            m_text.Coordinate('X', x);
            m_text.Coordinate('Y', y);
            m_text.EndLine();
        }
        m_text.Block();
        m_text.Code('G', 80, 2);
        m_text.EndLine();
        m_nX = x;
        m_nY = y;
        m_nMotion = -1;
        Retract();
    }

    CProgramText& m_text;
    CBenchRandom& m_random;
    long long m_nX = 0, m_nY = 0, m_nZ = 0;
    int m_nMotion = -1;
    bool m_bKnown = false;  // the position is known to the control: unchanged words may be left out
    bool m_bSpindle = false;
    long long m_nTool = 0;
};

}  // namespace

void WriteToolpaths(CProgramText& text, CBenchRandom& random)
{
    CToolpathWriter(text, random).Job();
}
