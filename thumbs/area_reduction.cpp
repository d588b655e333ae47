#include "thumbs/area_reduction.h"

#include <algorithm>
#include <limits>

namespace grelm {

namespace {

// How source pixels spread over the destination along one axis: in units of
// 1/`to` of a source pixel, source pixel i covers [i*to, (i+1)*to) and
// destination pixel j covers [j*from, (j+1)*from). As `to` <= `from`, a
// source pixel falls on at most two destination pixels: `first` gets
// `share` units of it and first + 1 the rest.
struct Axis {
    const std::int32_t *first;
    const std::int32_t *share;
    std::int32_t to;
};

Axis spreadAxis(std::int32_t from, std::int32_t to, std::vector<std::int32_t> &store)
{
    store.resize(std::size_t(from) * 2);
    for (std::int64_t i = 0; i < from; ++i) {
        const std::int64_t start = i * to;
        const std::int64_t first = start / from;
        const std::int64_t end = std::min((i + 1) * to, (first + 1) * from);
        store[std::size_t(i)] = std::int32_t(first);
        store[std::size_t(from + i)] = std::int32_t(end - start);
    }
    return {store.data(), store.data() + from, to};
}

// The loops over whole source rows are built for AVX2 as well, which halves
// their time where the processor has it; the choice is made once, when the
// program loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define GRELM_ALSO_FOR_AVX2 __attribute__((target_clones("avx2", "default")))
#else
#define GRELM_ALSO_FOR_AVX2
#endif

GRELM_ALSO_FOR_AVX2
void addPlainRow(std::uint16_t *__restrict plain, const std::uint8_t *__restrict in, std::size_t n)
{
    for (std::size_t v = 0; v < n; ++v)
        plain[v] = std::uint16_t(plain[v] + in[v]);
}

template <typename Acc>
void addWeightedRow(Acc *__restrict sums, const std::uint8_t *__restrict in, Acc weight, std::size_t n)
{
    for (std::size_t v = 0; v < n; ++v)
        sums[v] += weight * in[v];
}

template <typename Acc>
void foldPlainRow(Acc *__restrict sums, std::uint16_t *__restrict plain, Acc weight, std::size_t n)
{
    for (std::size_t v = 0; v < n; ++v) {
        sums[v] += weight * plain[v];
        plain[v] = 0;
    }
}

GRELM_ALSO_FOR_AVX2
void addWeightedRow32(std::uint32_t *__restrict sums, const std::uint8_t *__restrict in, std::uint32_t weight, std::size_t n)
{
    addWeightedRow(sums, in, weight, n);
}

GRELM_ALSO_FOR_AVX2
void foldPlainRow32(std::uint32_t *__restrict sums, std::uint16_t *__restrict plain, std::uint32_t weight, std::size_t n)
{
    foldPlainRow(sums, plain, weight, n);
}

// 64-bit sums are for pictures millions of rows tall only: built once.
void addWeightedRowAny(std::uint32_t *sums, const std::uint8_t *in, std::uint32_t weight, std::size_t n)
{
    addWeightedRow32(sums, in, weight, n);
}
void addWeightedRowAny(std::uint64_t *sums, const std::uint8_t *in, std::uint64_t weight, std::size_t n)
{
    addWeightedRow(sums, in, weight, n);
}
void foldPlainRowAny(std::uint32_t *sums, std::uint16_t *plain, std::uint32_t weight, std::size_t n)
{
    foldPlainRow32(sums, plain, weight, n);
}
void foldPlainRowAny(std::uint64_t *sums, std::uint16_t *plain, std::uint64_t weight, std::size_t n)
{
    foldPlainRow(sums, plain, weight, n);
}

// Rounded division by a divisor fixed for a whole picture: an estimate through
// a double, corrected to the exact quotient (by at most one step while the
// numerators stay below 2^53, as they do for any picture that fits in memory).
class Division {
public:
    explicit Division(std::uint64_t divisor) : m_divisor(divisor), m_inverse(1.0 / double(divisor)) {}
    std::uint64_t rounded(std::uint64_t value) const
    {
        const std::uint64_t n = value + m_divisor / 2;
        std::uint64_t q = std::uint64_t(double(n) * m_inverse);
        while (q * m_divisor > n)
            --q;
        while ((q + 1) * m_divisor <= n)
            ++q;
        return q;
    }

private:
    std::uint64_t m_divisor;
    double m_inverse;
};

// Reduces one row of column sums across into `line`. Each destination pixel
// takes the columns that start on it (`share` of each) and the rest of the
// last column of the pixel before. The sums stay in registers: a column that
// lies wholly on one pixel is added unweighted and the total weighed once, as
// the rows are.
template <typename Acc>
void reduceAcross(const Acc *columnSums, const Axis &across, std::int32_t width, const Division &byTotal,
                  std::uint8_t *line)
{
    const std::uint64_t to = std::uint64_t(across.to);
    std::uint64_t partialB = 0, partialG = 0, partialR = 0;
    std::uint64_t plainB = 0, plainG = 0, plainR = 0;
    std::uint64_t carryB = 0, carryG = 0, carryR = 0;
    std::uint8_t *pixel = line;
    std::int32_t at = 0;
    auto emit = [&] {
        pixel[0] = std::uint8_t(byTotal.rounded(partialB + to * plainB));
        pixel[1] = std::uint8_t(byTotal.rounded(partialG + to * plainG));
        pixel[2] = std::uint8_t(byTotal.rounded(partialR + to * plainR));
        pixel += 3;
        partialB = carryB, partialG = carryG, partialR = carryR;
        plainB = plainG = plainR = carryB = carryG = carryR = 0;
    };
    const Acc *v = columnSums;
    for (std::int32_t x = 0; x < width; ++x, v += 3) {
        if (across.first[x] != at) {
            emit();
            at = across.first[x];
        }
        const std::uint64_t share = std::uint64_t(across.share[x]);
        if (share == to) {
            plainB += v[0], plainG += v[1], plainR += v[2];
            continue;
        }
        const std::uint64_t rest = to - share;
        partialB += share * v[0], partialG += share * v[1], partialR += share * v[2];
        carryB += rest * v[0], carryG += rest * v[1], carryR += rest * v[2];
    }
    emit();
}

// Source rows that lie wholly on one destination row all weigh the same: they
// are summed unweighted in 16 bits, which is cheap and vectorises well, and
// folded into the weighted sums with their weight before those 16 bits could
// overflow and before the row is finished, so the sums stay exact.
class PlainRows {
public:
    PlainRows(std::vector<std::uint16_t> &store, std::size_t n) : m_n(n)
    {
        store.assign(n, 0);
        m_sums = store.data();
    }
    template <typename Acc>
    void add(const std::uint8_t *in, Acc *sums, Acc weight)
    {
        if (m_rows == kMostRows)
            fold(sums, weight);
        addPlainRow(m_sums, in, m_n);
        ++m_rows;
    }
    template <typename Acc>
    void fold(Acc *sums, Acc weight)
    {
        if (m_rows == 0)
            return;
        foldPlainRowAny(sums, m_sums, weight, m_n);
        m_rows = 0;
    }

private:
    static constexpr int kMostRows = 65535 / 255;
    std::uint16_t *m_sums = nullptr;
    std::size_t m_n;
    int m_rows = 0;
};

// Sums the source rows of each destination row column by column (weighted by
// how much of each row falls on it), then reduces each finished row across.
template <typename Acc>
void reduceRows(const BottomUpPicture &source, const Axis &across, const Axis &down, std::uint8_t *out,
                std::int32_t outPitch, std::vector<Acc> &sumsStore, std::vector<std::uint16_t> &plainStore)
{
    const std::size_t n = std::size_t(source.width) * 3;
    sumsStore.assign(2 * n, 0);
    Acc *sums[2] = {sumsStore.data(), sumsStore.data() + n};
    const Division byTotal(std::uint64_t(source.width) * std::uint64_t(source.height));
    PlainRows plain(plainStore, n);
    const Acc plainWeight = Acc(down.to);
    auto finish = [&](std::int32_t row) {
        plain.fold(sums[0], plainWeight);
        reduceAcross(sums[0], across, source.width, byTotal, out + std::size_t(row) * std::size_t(outPitch));
    };

    std::int32_t current = 0;
    for (std::int32_t y = 0; y < source.height; ++y) {
        if (down.first[y] != current) { // no later source row reaches `current`
            finish(current);
            std::swap(sums[0], sums[1]);
            std::fill(sums[1], sums[1] + n, Acc(0));
            current = down.first[y];
        }
        const std::uint8_t *in = source.pixels + std::size_t(y) * std::size_t(source.pitch);
        const Acc share = Acc(down.share[y]);
        const Acc rest = Acc(down.to) - share;
        if (rest == 0) {
            plain.add(in, sums[0], plainWeight);
            continue;
        }
        addWeightedRowAny(sums[0], in, share, n);
        addWeightedRowAny(sums[1], in, rest, n);
    }
    finish(current);
}

template <typename T>
std::uint64_t bytesOf(const std::vector<T> &v)
{
    return std::uint64_t(v.capacity()) * sizeof(T);
}

} // namespace

std::uint64_t ReductionScratch::bytes() const
{
    return bytesOf(narrowRows) + bytesOf(wideRows) + bytesOf(plainRows) + bytesOf(across) + bytesOf(down);
}

std::uint64_t reductionScratchBytes(std::int32_t width, std::int32_t height)
{
    // Per value of a source row: two rows of sums (64 bits at most) and the
    // 16-bit plain sums; two entries per column and row.
    const std::uint64_t values = 3 * std::uint64_t(std::max(width, 0));
    return values * (2 * 8 + 2) + 2 * 4 * (std::uint64_t(std::max(width, 0)) + std::uint64_t(std::max(height, 0)));
}

void reduceArea(const BottomUpPicture &source, std::int32_t width, std::int32_t height, std::uint8_t *out,
                std::int32_t outPitch, ReductionScratch &scratch)
{
    const Axis across = spreadAxis(source.width, width, scratch.across);
    const Axis down = spreadAxis(source.height, height, scratch.down);
    // A column sums at most height * 255 per channel: 32 bits hold that for
    // any screenshot; only a picture millions of rows tall needs 64.
    if (std::uint64_t(source.height) * 255 <= std::numeric_limits<std::uint32_t>::max())
        reduceRows(source, across, down, out, outPitch, scratch.narrowRows, scratch.plainRows);
    else
        reduceRows(source, across, down, out, outPitch, scratch.wideRows, scratch.plainRows);
}

} // namespace grelm
