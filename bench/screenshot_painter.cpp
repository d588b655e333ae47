#include "bench/screenshot_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace grelm::bench {

namespace {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    float unit() { return float(next() >> 40) / float(1 << 24); }
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }
    int below(int n) { return int(next() % std::uint64_t(n)); }

private:
    std::uint64_t m_state;
};

struct Rgb {
    float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb scale(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }

// Smooth random values on a lattice of `cell` pixels, interpolated in between.
class ValueNoise {
public:
    ValueNoise(int width, int height, int cell, Rng &rng)
        : m_cell(cell), m_cols(width / cell + 2), m_values(std::size_t(m_cols) * (height / cell + 2))
    {
        for (float &v : m_values)
            v = rng.unit();
    }
    float at(int x, int y) const
    {
        const int gx = x / m_cell, gy = y / m_cell;
        const float fx = smooth(float(x % m_cell) / m_cell), fy = smooth(float(y % m_cell) / m_cell);
        const float *row0 = &m_values[std::size_t(gy) * m_cols + gx];
        const float *row1 = row0 + m_cols;
        const float top = row0[0] + (row0[1] - row0[0]) * fx;
        const float bottom = row1[0] + (row1[1] - row1[0]) * fx;
        return top + (bottom - top) * fy;
    }

private:
    static float smooth(float t) { return t * t * (3 - 2 * t); }
    int m_cell;
    int m_cols;
    std::vector<float> m_values;
};

class Canvas {
public:
    Canvas(int width, int height, std::uint8_t *rows, int stride)
        : width(width), height(height), m_rows(rows), m_stride(stride) {}
    // Pixel (x, y) counted from the top-left corner; the rows are stored bottom-up.
    std::uint8_t *at(int x, int y) const { return m_rows + std::size_t(height - 1 - y) * m_stride + 3 * x; }
    void put(int x, int y, Rgb c) const
    {
        std::uint8_t *p = at(x, y);
        p[0] = clampByte(c.b);
        p[1] = clampByte(c.g);
        p[2] = clampByte(c.r);
    }
    void fillRect(int x0, int y0, int x1, int y1, Rgb c) const
    {
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
                put(x, y, c);
    }
    const int width;
    const int height;

private:
    static std::uint8_t clampByte(float v) { return std::uint8_t(std::clamp(v, 0.0f, 255.0f) + 0.5f); }
    std::uint8_t *m_rows;
    int m_stride;
};

struct Textures {
    Textures(int w, int h, Rng &rng)
        : coarse(w, h, 96, rng), medium(w, h, 24, rng), fine(w, h, 5, rng) {}
    float fbm(int x, int y) const { return 0.5f * coarse.at(x, y) + 0.3f * medium.at(x, y) + 0.2f * fine.at(x, y); }
    ValueNoise coarse, medium, fine;
};

void paintBackground(const Canvas &c, const Textures &tex, int horizon, Rng &rng)
{
    const Rgb skyTop{rng.range(20, 60), rng.range(40, 80), rng.range(90, 150)};
    const Rgb skyLow{rng.range(150, 200), rng.range(160, 200), rng.range(170, 220)};
    const Rgb groundFar{rng.range(90, 130), rng.range(85, 120), rng.range(60, 90)};
    const Rgb groundNear{rng.range(50, 80), rng.range(45, 75), rng.range(30, 50)};
    std::uint32_t grain = std::uint32_t(rng.next()) | 1;
    for (int y = 0; y < c.height; ++y) {
        const bool sky = y < horizon;
        const float t = sky ? float(y) / horizon : float(y - horizon) / std::max(1, c.height - horizon);
        const Rgb base = sky ? mix(skyTop, skyLow, t) : mix(groundFar, groundNear, t);
        for (int x = 0; x < c.width; ++x) {
            grain ^= grain << 13, grain ^= grain >> 17, grain ^= grain << 5;
            const float noise = float(grain & 7) - 3.5f;
            Rgb p;
            if (sky) {
                const float cloud = std::max(0.0f, tex.fbm(x, y) - 0.45f) * 1.6f;
                p = mix(base, Rgb{235, 235, 240}, std::min(1.0f, cloud));
            } else {
                p = scale(base, 0.7f + 0.6f * tex.fbm(x, y) * (0.5f + t));
            }
            c.put(x, y, {p.r + noise, p.g + noise, p.b + noise});
        }
    }
}

// Boxes standing on the ground: walls and crates, lit from one side, with a
// dark outline and a surface texture; nearer ones are larger and drawn last.
void paintBoxes(const Canvas &c, const Textures &tex, int horizon, Rng &rng)
{
    const int count = 5 + rng.below(9);
    std::vector<float> depths(count);
    for (float &d : depths)
        d = rng.unit();
    std::sort(depths.begin(), depths.end());
    for (float depth : depths) {
        const int bottom = horizon + int(depth * (c.height - horizon));
        const int h = int((0.06f + 0.34f * depth) * c.height * rng.range(0.5f, 1.0f));
        const int w = std::max(4, int(h * rng.range(0.5f, 2.5f)));
        const int left = rng.below(std::max(1, c.width)) - w / 2;
        const Rgb colour{rng.range(60, 200), rng.range(50, 180), rng.range(40, 160)};
        const bool litFromLeft = rng.below(2) == 0;
        for (int y = std::max(0, bottom - h); y < std::min(c.height, bottom); ++y) {
            for (int x = std::max(0, left); x < std::min(c.width, left + w); ++x) {
                const float across = float(x - left) / w;
                const float light = 0.55f + 0.45f * (litFromLeft ? 1 - across : across);
                const bool edge = x - left < 2 || left + w - x <= 2 || y - (bottom - h) < 2 || bottom - y <= 2;
                const float surface = 0.8f + 0.25f * tex.medium.at(x, y) + 0.15f * tex.fine.at(x, y);
                c.put(x, y, scale(colour, edge ? 0.35f : light * surface));
            }
        }
    }
}

// Round lights that brighten what lies around them.
void paintLights(const Canvas &c, Rng &rng)
{
    const int count = 2 + rng.below(5);
    for (int i = 0; i < count; ++i) {
        const int cx = rng.below(c.width), cy = rng.below(c.height);
        const int r = 8 + rng.below(std::max(1, c.height / 6));
        const Rgb glow{rng.range(120, 255), rng.range(100, 230), rng.range(40, 160)};
        for (int y = std::max(0, cy - r); y < std::min(c.height, cy + r); ++y) {
            for (int x = std::max(0, cx - r); x < std::min(c.width, cx + r); ++x) {
                const float d2 = float((x - cx) * (x - cx) + (y - cy) * (y - cy)) / float(r * r);
                if (d2 >= 1)
                    continue;
                const float k = (1 - d2) * (1 - d2);
                std::uint8_t *p = c.at(x, y);
                c.put(x, y, {p[2] + glow.r * k, p[1] + glow.g * k, p[0] + glow.b * k});
            }
        }
    }
}

// Seven-segment digits and a crosshair in the HUD colour.
void paintHud(const Canvas &c, Rng &rng)
{
    static const std::uint8_t kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    const Rgb hud{255, 160, 0};
    const int s = std::max(2, c.height / 60);
    auto digit = [&](int x, int y, int value) {
        const std::uint8_t m = kSegments[value % 10];
        const int w = 3 * s, t = std::max(1, s / 2);
        if (m & 0x01) c.fillRect(x, y, x + w, y + t, hud);
        if (m & 0x02) c.fillRect(x + w - t, y, x + w, y + w, hud);
        if (m & 0x04) c.fillRect(x + w - t, y + w, x + w, y + 2 * w, hud);
        if (m & 0x08) c.fillRect(x, y + 2 * w - t, x + w, y + 2 * w, hud);
        if (m & 0x10) c.fillRect(x, y + w, x + t, y + 2 * w, hud);
        if (m & 0x20) c.fillRect(x, y, x + t, y + w, hud);
        if (m & 0x40) c.fillRect(x, y + w - t / 2, x + w, y + w + t - t / 2, hud);
    };
    const int y = c.height - 8 * s;
    for (int i = 0, v = 1 + rng.below(100); i < 3; ++i, v /= 10)
        digit(4 * s + (2 - i) * 4 * s, y, v);
    for (int i = 0, v = rng.below(1000); i < 3; ++i, v /= 10)
        digit(c.width - 4 * s - (i + 1) * 4 * s, y, v);
    c.fillRect(c.width / 2 - 3 * s, c.height / 2, c.width / 2 + 3 * s, c.height / 2 + 1, hud);
    c.fillRect(c.width / 2, c.height / 2 - 3 * s, c.width / 2 + 1, c.height / 2 + 3 * s, hud);
}

} // namespace

void paintScreenshot(int width, int height, std::uint64_t seed, std::uint8_t *rows, int stride)
{
    Rng rng(seed);
    const Canvas canvas(width, height, rows, stride);
    const Textures textures(width, height, rng);
    const int horizon = int(height * rng.range(0.35f, 0.55f));
    paintBackground(canvas, textures, horizon, rng);
    paintBoxes(canvas, textures, horizon, rng);
    paintLights(canvas, rng);
    paintHud(canvas, rng);
}

} // namespace grelm::bench
