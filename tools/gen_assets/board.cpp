// The frame zone: a wood-grain board with dark wooden frames round the well and the
// panels, light and black edge lines, and name tabs.

#include "art.h"
#include "noise.h"
#include "pixel_font.h"

#include "screen/layout.h" // the target has no include path to the repo root

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int W = layout::screenWidth, H = layout::screenHeight;
constexpr int frameWidth = 5;
constexpr Rgb lightLine = rgb(255, 196, 136);
constexpr Rgb blackLine = rgb(0, 0, 0);
constexpr Rgb tabInk = rgb(0, 255, 128);

constexpr WoodTone boardWood{rgb(222, 168, 108), rgb(196, 138, 80), rgb(140, 86, 44)};
constexpr WoodTone frameWood{rgb(116, 70, 38), rgb(88, 50, 26), rgb(52, 28, 14)};

enum class Zone : unsigned char { Board, Interior, Frame, Tab, Light, Black };

struct Tab {
    QRect text;
    QString word;
};

// One box: its interiors (the SCORE panel and the bonus box share one frame) and the
// tab above it, if any.
struct Box {
    std::vector<QRect> interiors;
    std::vector<Tab> tabs;
};

std::vector<Box> boxes() {
    using namespace layout;
    return {
        {{well}, {}},
        {{scorePanel, bonusPanel}, {{scoreTab, QStringLiteral("SCORE")}}},
        {{vanishInterior}, {{vanishTab, QStringLiteral("VANISH")}}},
        {{phasePanel}, {{phaseTab, QStringLiteral("PHASE")}}},
        {{levelInterior}, {{levelTab, QStringLiteral("LEVEL")}}},
        {{limitPanel}, {{limitTab, QStringLiteral("LIMIT")}}},
        {{nextBox}, {{nextTab, QStringLiteral("NEXT")}}},
    };
}

class ZoneMap {
public:
    ZoneMap() : z_(size_t(W * H), Zone::Board) {}
    Zone at(int x, int y) const {
        if (x < 0 || y < 0 || x >= W || y >= H)
            return Zone::Board;
        return z_[size_t(y * W + x)];
    }
    void set(int x, int y, Zone z) { z_[size_t(y * W + x)] = z; }
    void fill(const QRect& r, Zone z) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                set(x, y, z);
    }

private:
    std::vector<Zone> z_;
};

bool solid(Zone z) {
    return z == Zone::Frame || z == Zone::Tab || z == Zone::Interior;
}
bool wooden(Zone z) {
    return z == Zone::Frame || z == Zone::Tab;
}

// Marks frames, tabs and interiors, then the edge lines round every wooden part:
// light on the top and left, black on the bottom and right (black wins where a
// concave corner touches both).
ZoneMap buildZones() {
    ZoneMap map;
    for (const Box& box : boxes()) {
        for (const QRect& r : box.interiors)
            map.fill(r.adjusted(-frameWidth, -frameWidth, frameWidth, frameWidth), Zone::Frame);
        for (const Tab& tab : box.tabs) {
            const QRect& outer = box.interiors.front();
            const int frameTop = outer.top() - frameWidth;
            map.fill(QRect(QPoint(outer.left() - frameWidth, tab.text.top() - 3),
                           QPoint(tab.text.right() + 3, frameTop - 1)),
                     Zone::Tab);
        }
    }
    for (const Box& box : boxes())
        for (const QRect& r : box.interiors)
            map.fill(r, Zone::Interior);

    std::vector<std::pair<QPoint, Zone>> lines;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (solid(map.at(x, y)))
                continue;
            auto w = [&](int dx, int dy) { return wooden(map.at(x + dx, y + dy)); };
            if (w(-1, 0) || w(0, -1) || w(-1, -1))
                lines.push_back({{x, y}, Zone::Black});
            else if (w(1, 0) || w(0, 1) || w(1, 1))
                lines.push_back({{x, y}, Zone::Light});
            else if (w(1, -1) || w(-1, 1))
                lines.push_back({{x, y}, Zone::Black});
        }
    for (const auto& [p, z] : lines)
        map.set(p.x(), p.y(), z);
    return map;
}

// Shading of a wooden pixel: its outer edge catches the light on the top and left and
// falls into shadow on the bottom and right; along a sunken interior it is the other
// way round.
double bevel(const ZoneMap& map, int x, int y) {
    auto is = [&](int dx, int dy, Zone z) { return map.at(x + dx, y + dy) == z; };
    auto outside = [&](int dx, int dy) {
        const Zone z = map.at(x + dx, y + dy);
        return z == Zone::Light || z == Zone::Black || z == Zone::Board;
    };
    double f = 1.0;
    if (outside(0, -1) || outside(-1, 0))
        f *= 1.35;
    else if (outside(0, 1) || outside(1, 0))
        f *= 0.7;
    if (is(0, 1, Zone::Interior) || is(1, 0, Zone::Interior))
        f *= 0.6;
    else if (is(0, -1, Zone::Interior) || is(-1, 0, Zone::Interior))
        f *= 1.25;
    return f;
}

// Board planks run across; each has its own grain, with a dark seam between.
Rgb boardAt(int x, int y) {
    static const std::array<int, 5> seams = {0, 88, 186, 271, 400};
    int plank = 0;
    while (y >= seams[size_t(plank + 1)])
        ++plank;
    const int top = seams[size_t(plank)];
    Rgb c = woodAt(x + plank * 137.0, y, boardWood, 0x5eed0 + std::uint32_t(plank));
    if (plank > 0 && y == top)
        c = scaled(c, 0.55);
    else if (plank > 0 && y == top + 1)
        c = scaled(c, 1.08);
    return c;
}

void drawTabText(Canvas& c, const Tab& tab) {
    const std::vector<int> offsets = spreadWord(tab.word, tab.text.width());
    for (int i = 0; i < int(tab.word.size()); ++i) {
        const Glyph& g = tabGlyph(tab.word[i]);
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < g.width; ++col)
                if (g.rows[size_t(row)][col] == '#')
                    c.set(tab.text.left() + offsets[size_t(i)] + col, tab.text.top() + row, tabInk);
    }
}

} // namespace

Rgb woodAt(double x, double y, const WoodTone& tone, std::uint32_t seed) {
    constexpr double pi = 3.14159265358979323846;
    const double warp = (fractalNoise(x / 90.0, y / 22.0, seed, 3) - 0.5) * 16.0;
    const double ring = (y + warp + 3.0 * std::sin(x / 47.0 + seed % 7)) / 6.5;
    const double f = ring - std::floor(ring);
    const double line = std::pow(0.5 + 0.5 * std::cos(2 * pi * f), 6.0);
    const double broad = fractalNoise(x / 70.0, y / 28.0, seed + 7u, 2);
    const double fibre = valueNoise(x / 5.0, y * 1.4, seed + 13u);
    Rgb c = mix(tone.light, tone.mid, std::clamp(broad * 1.3 - 0.15, 0.0, 1.0));
    c = mix(c, tone.dark, std::clamp(line * 0.7 + (fibre - 0.5) * 0.35, 0.0, 1.0));
    return c;
}

Canvas drawBoard() {
    const ZoneMap map = buildZones();
    Canvas c(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            switch (map.at(x, y)) {
            case Zone::Board:
                c.set(x, y, boardAt(x, y));
                break;
            case Zone::Interior:
                c.set(x, y, rgb(0, 0, 0));
                break;
            case Zone::Frame:
            case Zone::Tab:
                c.set(x, y, scaled(woodAt(x * 1.7, y * 0.9, frameWood, 0xf4a3e), bevel(map, x, y)));
                break;
            case Zone::Light:
                c.set(x, y, lightLine);
                break;
            case Zone::Black:
                c.set(x, y, blackLine);
                break;
            }
        }
    for (const Box& box : boxes())
        for (const Tab& tab : box.tabs)
            drawTabText(c, tab);
    return c;
}
