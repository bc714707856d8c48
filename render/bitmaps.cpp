#include "render/bitmaps.h"

#include <QPainter>

#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

// x / 9 for 0 <= x <= 9 * 255, without a division: exact over that range.
inline unsigned divideBy9(unsigned x)
{
    return (x * 7282u) >> 16;
}

// One row of the running filter. `up` is the row above (already final), `cur`
// the row being smoothed in place, `down` the row below (still original).
// `bpp` is 3 or 4 bytes per pixel; only the first three bytes are touched.
template <int Bpp>
void blurRow(const uchar *up, uchar *cur, const uchar *down, int width)
{
    for (int ch = 0; ch < 3; ++ch) {
        // Column sums of the rows above and below, sliding left to right.
        unsigned v0 = up[1 * Bpp + ch] + down[1 * Bpp + ch];
        unsigned v1 = up[2 * Bpp + ch] + down[2 * Bpp + ch];
        unsigned left = cur[1 * Bpp + ch]; // smoothed left neighbour (column 1 stays)
        unsigned here = cur[2 * Bpp + ch];
        for (int c = 2; c <= width - 3; ++c) {
            const unsigned v2 = up[(c + 1) * Bpp + ch] + down[(c + 1) * Bpp + ch];
            const unsigned right = cur[(c + 1) * Bpp + ch];
            const unsigned value = divideBy9(v0 + v1 + v2 + left + here + right);
            cur[c * Bpp + ch] = uchar(value);
            left = value;
            here = right;
            v0 = v1;
            v1 = v2;
        }
    }
}

template <int Bpp>
void blurRows(QImage *bitmap, int firstRow)
{
    const int width = bitmap->width();
    for (int r = firstRow; r <= bitmap->height() - 2; ++r)
        blurRow<Bpp>(bitmap->constScanLine(r - 1), bitmap->scanLine(r), bitmap->constScanLine(r + 1), width);
}

#if defined(__SSE2__)

// The running filter has a chain from each pixel to its right neighbour and to
// the row below, so a row cannot be smoothed in parallel along its length.
// Rows can be, along a diagonal: in a band of four rows, each row trails the
// one above by kLag columns, far enough that the values it needs from the row
// above are final and those of the row below still original. Each step then
// smooths one pixel of each of the four rows with 16-bit lanes (four bytes per
// pixel), which gives the same bytes as the row-by-row order.
constexpr int kBand = 4;
constexpr int kLag = 4;

// At the ends of a diagonal step, the rows of the band that lie outside columns
// 2 .. width - 3 do not store; at columns 1 and width - 2 (which stay as they
// are) they pass the original pixel on to their neighbours instead.
inline void settleDiagonalEnds(quint16 *lanes, uchar *const *rows, int band, int t, int width)
{
    for (int j = 0; j < band; ++j) {
        const int c = 1 + t - j * kLag;
        quint16 *lane = lanes + 4 * j;
        uchar *pixel = rows[j] + 4 * c;
        if (c >= 2 && c <= width - 3) {
            for (int k = 0; k < 4; ++k)
                pixel[k] = uchar(lane[k]);
        } else if (c == 1 || c == width - 2) {
            for (int k = 0; k < 4; ++k)
                lane[k] = pixel[k];
        }
    }
}

inline void storePixel(uchar *at, int value)
{
    std::memcpy(at, &value, 4);
}

// Two pixels of 16-bit lanes: one pixel of each of two rows.
struct alignas(16) PixelPair {
    quint16 lanes[8];
};
using PairList = std::vector<PixelPair>;

// The sum of the eight neighbours that do not depend on the row above being
// smoothed in this band: the pixel itself, its right neighbour and the three
// below (and for the band's first row the three above, already final).
// Stored per step of the diagonal so the sweep loads one vector per two rows.
void prepareBand(const QImage &image, int r0, PairList *groups)
{
    const int width = image.width();
    const __m128i zero = _mm_setzero_si128();
    const auto load = [&](const uchar *row, int column) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(row + 4 * column)), zero);
    };
    for (int j = 0; j < kBand; ++j) {
        const uchar *up = image.constScanLine(r0 + j - 1);
        const uchar *cur = image.constScanLine(r0 + j);
        const uchar *down = image.constScanLine(r0 + j + 1);
        char *base = reinterpret_cast<char *>(groups[j / 2].data()) + 8 * (j % 2);
        for (int c = 2; c <= width - 3; c += 2) {
            // Pixels c and c + 1 (the second may be column width - 2, whose
            // slot is not used).
            __m128i sum = _mm_add_epi16(load(cur, c), load(cur, c + 1));
            sum = _mm_add_epi16(sum, _mm_add_epi16(load(down, c - 1), load(down, c)));
            sum = _mm_add_epi16(sum, load(down, c + 1));
            if (j == 0) {
                sum = _mm_add_epi16(sum, _mm_add_epi16(load(up, c - 1), load(up, c)));
                sum = _mm_add_epi16(sum, load(up, c + 1));
            }
            const int slot = c - 1 + j * kLag;
            _mm_storel_epi64(reinterpret_cast<__m128i *>(base + 16 * slot), sum);
            _mm_storel_epi64(reinterpret_cast<__m128i *>(base + 16 * (slot + 1)), _mm_srli_si128(sum, 8));
        }
    }
}

void blurBand(QImage *image, int r0, const PairList *groups)
{
    const int width = image->width();
    uchar *rows[kBand];
    for (int j = 0; j < kBand; ++j)
        rows[j] = image->scanLine(r0 + j);

    const __m128i ninth = _mm_set1_epi16(7282);
    const auto *pa = reinterpret_cast<const __m128i *>(groups[0].data());
    const auto *pb = reinterpret_cast<const __m128i *>(groups[1].data());
    // Outputs of the last five steps: a1 is the left neighbour's value, a3..a5
    // the three pixels above for the trailing row of each pair.
    __m128i a1 = _mm_setzero_si128(), a2 = a1, a3 = a1, a4 = a1, a5 = a1;
    __m128i b1 = a1, b2 = a1, b3 = a1, b4 = a1, b5 = a1;

    const int lastStep = width - 3 + (kBand - 1) * kLag;
    const int fastFirst = 1 + (kBand - 1) * kLag; // every row inside columns 2 .. width - 3
    const int fastLast = width - 4;

    for (int t = 0; t <= lastStep; ++t) {
        const __m128i sa = _mm_add_epi16(_mm_add_epi16(a3, a4), a5);
        const __m128i sb = _mm_add_epi16(_mm_add_epi16(b3, b4), b5);
        // Row 1 takes row 0's sums, row 2 row 1's, row 3 row 2's.
        const __m128i ua = _mm_slli_si128(sa, 8);
        const __m128i ub = _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(sa), _mm_castsi128_pd(sb), 1));
        __m128i na = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(pa[t], ua), a1), ninth);
        __m128i nb = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(pb[t], ub), b1), ninth);

        if (t >= fastFirst && t <= fastLast) {
            const __m128i bytes = _mm_packus_epi16(na, nb);
            const int c = 1 + t;
            storePixel(rows[0] + 4 * c, _mm_cvtsi128_si32(bytes));
            storePixel(rows[1] + 4 * (c - kLag), _mm_cvtsi128_si32(_mm_srli_si128(bytes, 4)));
            storePixel(rows[2] + 4 * (c - 2 * kLag), _mm_cvtsi128_si32(_mm_srli_si128(bytes, 8)));
            storePixel(rows[3] + 4 * (c - 3 * kLag), _mm_cvtsi128_si32(_mm_srli_si128(bytes, 12)));
        } else {
            // The ends of the diagonal: rows outside columns 2 .. width - 3 do
            // not store, and at columns 1 and width - 2 (which stay as they
            // are) they pass the original pixel on to their neighbours.
            alignas(16) quint16 lanes[16];
            _mm_store_si128(reinterpret_cast<__m128i *>(lanes), na);
            _mm_store_si128(reinterpret_cast<__m128i *>(lanes + 8), nb);
            settleDiagonalEnds(lanes, rows, kBand, t, width);
            na = _mm_load_si128(reinterpret_cast<const __m128i *>(lanes));
            nb = _mm_load_si128(reinterpret_cast<const __m128i *>(lanes + 8));
        }
        a5 = a4; a4 = a3; a3 = a2; a2 = a1; a1 = na;
        b5 = b4; b4 = b3; b3 = b2; b2 = b1; b1 = nb;
    }
}

void blurRgb32(QImage *image)
{
    const int width = image->width();
    const int lastRow = image->height() - 2;
    const size_t steps = size_t(width - 2 + (kBand - 1) * kLag + 1);
    PairList groups[2] = {PairList(steps), PairList(steps)};
    int r = 1;
    // Narrow pictures leave no room for the diagonal; they go row by row.
    if (width >= 2 * kBand * kLag) {
        for (; r + kBand - 1 <= lastRow; r += kBand) {
            prepareBand(*image, r, groups);
            blurBand(image, r, groups);
        }
    }
    blurRows<4>(image, r);
}


// The same diagonal with 256-bit vectors: bands of eight rows, four pixels
// (one of each of four rows) per vector. Compiled for AVX2 and used only when
// the processor has it.
constexpr int kWideBand = 8;

struct alignas(32) PixelQuad {
    quint16 lanes[16];
};
using QuadList = std::vector<PixelQuad>;

#define KALVANE_AVX2 __attribute__((target("avx2")))

KALVANE_AVX2 inline __m256i widen(const uchar *row, int column)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 4 * column)));
}

// The fixed part of the sums of one row over four consecutive pixels from
// column c (all inside columns 2 .. width - 3).
template <bool WithRowAbove>
KALVANE_AVX2 inline __m256i fixedSums(const uchar *up, const uchar *cur, const uchar *down, int c)
{
    __m256i sum = _mm256_add_epi16(widen(cur, c), widen(cur, c + 1));
    sum = _mm256_add_epi16(sum, _mm256_add_epi16(widen(down, c - 1), widen(down, c)));
    sum = _mm256_add_epi16(sum, widen(down, c + 1));
    if constexpr (WithRowAbove) {
        sum = _mm256_add_epi16(sum, _mm256_add_epi16(widen(up, c - 1), widen(up, c)));
        sum = _mm256_add_epi16(sum, widen(up, c + 1));
    }
    return sum;
}

// The same near the ends of the row, where only some columns are smoothed
// (the others are given 0: their outputs are never kept).
KALVANE_AVX2 inline __m256i fixedSumsAtEnds(const uchar *up, const uchar *cur, const uchar *down, int c, int width,
                               bool withRowAbove)
{
    alignas(32) quint16 lanes[16] = {};
    for (int i = 0; i < 4; ++i) {
        const int x = c + i;
        if (x < 2 || x > width - 3)
            continue;
        for (int ch = 0; ch < 4; ++ch) {
            int sum = cur[4 * x + ch] + cur[4 * (x + 1) + ch] + down[4 * (x - 1) + ch] + down[4 * x + ch]
                + down[4 * (x + 1) + ch];
            if (withRowAbove)
                sum += up[4 * (x - 1) + ch] + up[4 * x + ch] + up[4 * (x + 1) + ch];
            lanes[4 * i + ch] = quint16(sum);
        }
    }
    __m256i v;
    std::memcpy(&v, lanes, sizeof v);
    return v;
}

// Four rows' sums (one vector each, four pixels) turned into four vectors of
// one step each (one pixel of each row).
KALVANE_AVX2 inline void storeTransposed(__m256i v0, __m256i v1, __m256i v2, __m256i v3, PixelQuad *at)
{
    const __m256i l01 = _mm256_unpacklo_epi64(v0, v1);
    const __m256i h01 = _mm256_unpackhi_epi64(v0, v1);
    const __m256i l23 = _mm256_unpacklo_epi64(v2, v3);
    const __m256i h23 = _mm256_unpackhi_epi64(v2, v3);
    auto *out = reinterpret_cast<__m256i *>(at);
    _mm256_store_si256(out + 0, _mm256_permute2x128_si256(l01, l23, 0x20));
    _mm256_store_si256(out + 1, _mm256_permute2x128_si256(h01, h23, 0x20));
    _mm256_store_si256(out + 2, _mm256_permute2x128_si256(l01, l23, 0x31));
    _mm256_store_si256(out + 3, _mm256_permute2x128_si256(h01, h23, 0x31));
}

// The fixed part of the sums for one vector's four rows (rows 4 g .. 4 g + 3
// of the band), per step of the diagonal, four steps at a time: each row's four
// consecutive pixels are summed with whole vectors, then transposed.
template <bool FirstGroup>
KALVANE_AVX2 void prepareWideGroup(const QImage &image, int r0, int lastStep, PixelQuad *steps)
{
    constexpr int group = FirstGroup ? 0 : 1;
    const int width = image.width();
    // Rows 4 g - 1 .. 4 g + 4 of the band: above, the group's four, below.
    const uchar *up[6];
    for (int k = 0; k < 6; ++k)
        up[k] = image.constScanLine(r0 + 4 * group + k - 1);
    const uchar *const *cur = up + 1;
    const uchar *const *down = up + 2;
    // Column of row k (0..3 in this group) at step t0.
    const auto column = [](int t0, int k) { return 1 + t0 - (4 * group + k) * kLag; };
    // Steps where all four rows are inside columns 2 .. width - 3 for the four
    // steps t0 .. t0 + 3.
    const int middleFirst = 1 + (4 * group + 3) * kLag;
    const int middleLast = width - 7 + 4 * group * kLag;

    const auto atEnds = [&](int t0) KALVANE_AVX2 {
        __m256i v[4];
        for (int k = 0; k < 4; ++k) {
            const int c = column(t0, k);
            const bool above = FirstGroup && k == 0;
            if (c >= 2 && c + 3 <= width - 3)
                v[k] = above ? fixedSums<true>(up[k], cur[k], down[k], c)
                             : fixedSums<false>(up[k], cur[k], down[k], c);
            else
                v[k] = fixedSumsAtEnds(up[k], cur[k], down[k], c, width, above);
        }
        storeTransposed(v[0], v[1], v[2], v[3], steps + t0);
    };

    int t0 = 0;
    for (; t0 < middleFirst && t0 <= lastStep; t0 += 4)
        atEnds(t0);
    if (t0 <= middleLast) {
        // Pointers to column c of each row, moving four pixels per block.
        const int c0 = column(t0, 0);
        const uchar *u = up[0] + 4 * c0;
        const uchar *r[4], *d[4];
        for (int k = 0; k < 4; ++k) {
            r[k] = cur[k] + 4 * (c0 - k * kLag);
            d[k] = down[k] + 4 * (c0 - k * kLag);
        }
        PixelQuad *out = steps + t0;
        for (; t0 <= middleLast; t0 += 4, out += 4, u += 16) {
            storeTransposed(fixedSums<FirstGroup>(u, r[0], d[0], 0), fixedSums<false>(u, r[1], d[1], 0),
                            fixedSums<false>(u, r[2], d[2], 0), fixedSums<false>(u, r[3], d[3], 0), out);
            for (int k = 0; k < 4; ++k) {
                r[k] += 16;
                d[k] += 16;
            }
        }
    }
    for (; t0 <= lastStep; t0 += 4)
        atEnds(t0);
}

// What the sweep carries from step to step: the outputs of the last two steps,
// and the sums of three consecutive outputs, kept per step (the sum of steps
// t - 2 .. t at index t + 3), so the sum over the three pixels above a trailing
// row is one load, three steps later.
struct WideSweep {
    __m256i a1, a2, b1, b2;
    __m256i *triplesA, *triplesB;
};

// One step of the diagonal: one pixel of each of the band's eight rows.
KALVANE_AVX2 __attribute__((always_inline)) inline void wideStep(const WideSweep &w, int t, const __m256i *pa,
                                                                const __m256i *pb, __m256i *na, __m256i *nb)
{
    const __m256i ninth = _mm256_set1_epi16(7282);
    const __m256i sa = w.triplesA[t];
    const __m256i sb = w.triplesB[t];
    // Each row takes the sums of the row above it: the pixels move up one
    // place, row 4 taking row 3's from the other vector.
    const __m256i ua = _mm256_blend_epi32(_mm256_permute4x64_epi64(sa, _MM_SHUFFLE(2, 1, 0, 0)),
                                          _mm256_setzero_si256(), 0x03);
    const __m256i ub = _mm256_blend_epi32(_mm256_permute4x64_epi64(sb, _MM_SHUFFLE(2, 1, 0, 3)),
                                          _mm256_permute4x64_epi64(sa, _MM_SHUFFLE(3, 3, 3, 3)), 0x03);
    *na = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_add_epi16(pa[t], ua), w.a1), ninth);
    *nb = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_add_epi16(pb[t], ub), w.b1), ninth);
}

KALVANE_AVX2 __attribute__((always_inline)) inline void wideAdvance(WideSweep &w, int t, __m256i na, __m256i nb)
{
    w.triplesA[t + 3] = _mm256_add_epi16(_mm256_add_epi16(na, w.a1), w.a2);
    w.triplesB[t + 3] = _mm256_add_epi16(_mm256_add_epi16(nb, w.b1), w.b2);
    w.a2 = w.a1;
    w.a1 = na;
    w.b2 = w.b1;
    w.b1 = nb;
}

KALVANE_AVX2 void blurWideBand(QImage *image, int r0, const PixelQuad *stepsA, const PixelQuad *stepsB,
                               PixelQuad *triplesA, PixelQuad *triplesB)
{
    const int width = image->width();
    uchar *rows[kWideBand];
    uchar *lagged[kWideBand]; // each row's pixels as seen from the diagonal's step
    for (int j = 0; j < kWideBand; ++j) {
        rows[j] = image->scanLine(r0 + j);
        lagged[j] = rows[j] - 4 * j * kLag;
    }
    const auto *pa = reinterpret_cast<const __m256i *>(stepsA);
    const auto *pb = reinterpret_cast<const __m256i *>(stepsB);
    WideSweep w;
    w.a1 = w.a2 = w.b1 = w.b2 = _mm256_setzero_si256();
    w.triplesA = reinterpret_cast<__m256i *>(triplesA);
    w.triplesB = reinterpret_cast<__m256i *>(triplesB);
    for (int i = 0; i < 3; ++i)
        w.triplesA[i] = w.triplesB[i] = _mm256_setzero_si256();

    const int lastStep = width - 3 + (kWideBand - 1) * kLag;
    const int fastFirst = 1 + (kWideBand - 1) * kLag;
    const int fastLast = width - 4;

    // The ends of the diagonal: rows outside columns 2 .. width - 3 do not
    // store, and at columns 1 and width - 2 (which stay as they are) they pass
    // the original pixel on to their neighbours.
    const auto endStep = [&](int t) KALVANE_AVX2 {
        __m256i na, nb;
        wideStep(w, t, pa, pb, &na, &nb);
        alignas(32) quint16 lanes[32];
        _mm256_store_si256(reinterpret_cast<__m256i *>(lanes), na);
        _mm256_store_si256(reinterpret_cast<__m256i *>(lanes + 16), nb);
        settleDiagonalEnds(lanes, rows, kWideBand, t, width);
        wideAdvance(w, t, _mm256_load_si256(reinterpret_cast<const __m256i *>(lanes)),
                    _mm256_load_si256(reinterpret_cast<const __m256i *>(lanes + 16)));
    };

    const auto fastStep = [&](int t) KALVANE_AVX2 __attribute__((always_inline)) {
        __m256i na, nb;
        wideStep(w, t, pa, pb, &na, &nb);
        // Packing works within each 128-bit half: the low half holds rows
        // 0, 1, 4, 5, the high half rows 2, 3, 6, 7.
        const __m256i bytes = _mm256_packus_epi16(na, nb);
        const __m128i low = _mm256_castsi256_si128(bytes);
        const __m128i high = _mm256_extracti128_si256(bytes, 1);
        const int at = 4 * (1 + t);
        storePixel(lagged[0] + at, _mm_cvtsi128_si32(low));
        storePixel(lagged[1] + at, _mm_extract_epi32(low, 1));
        storePixel(lagged[2] + at, _mm_cvtsi128_si32(high));
        storePixel(lagged[3] + at, _mm_extract_epi32(high, 1));
        storePixel(lagged[4] + at, _mm_extract_epi32(low, 2));
        storePixel(lagged[5] + at, _mm_extract_epi32(low, 3));
        storePixel(lagged[6] + at, _mm_extract_epi32(high, 2));
        storePixel(lagged[7] + at, _mm_extract_epi32(high, 3));
        wideAdvance(w, t, na, nb);
    };

    int t = 0;
    for (; t < fastFirst; ++t)
        endStep(t);
    for (; t <= fastLast; ++t)
        fastStep(t);
    for (; t <= lastStep; ++t)
        endStep(t);
}

KALVANE_AVX2 void blurRgb32Wide(QImage *image)
{
    const int width = image->width();
    const int lastRow = image->height() - 2;
    const int lastStep = width - 3 + (kWideBand - 1) * kLag;
    const size_t steps = size_t(lastStep + 4);
    QuadList groupA(steps), groupB(steps), triplesA(steps + 3), triplesB(steps + 3);
    int r = 1;
    if (width >= 2 * kWideBand * kLag) {
        for (; r + kWideBand - 1 <= lastRow; r += kWideBand) {
            prepareWideGroup<true>(*image, r, lastStep, groupA.data());
            prepareWideGroup<false>(*image, r, lastStep, groupB.data());
            blurWideBand(image, r, groupA.data(), groupB.data(), triplesA.data(), triplesB.data());
        }
    }
    blurRows<4>(image, r);
}

bool hasAvx2()
{
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#endif

template <int Bpp>
void blur(QImage *bitmap, Bitmaps::BlurMethod method)
{
    using Bitmaps::BlurMethod;
#if defined(__SSE2__)
    if constexpr (Bpp == 4) {
        if (bitmap->format() == QImage::Format_RGB32) {
            if (method == BlurMethod::Best)
                method = hasAvx2() ? BlurMethod::Avx2 : BlurMethod::Sse2;
            if (method == BlurMethod::Avx2 && hasAvx2()) {
                blurRgb32Wide(bitmap);
                return;
            }
            if (method == BlurMethod::Sse2 || method == BlurMethod::Avx2) {
                blurRgb32(bitmap);
                return;
            }
        }
    }
#else
    Q_UNUSED(method);
#endif
    blurRows<Bpp>(bitmap, 1);
}

} // namespace

namespace Bitmaps {

bool blurMethodAvailable(BlurMethod method)
{
    switch (method) {
    case BlurMethod::Best:
    case BlurMethod::RowByRow:
        return true;
    case BlurMethod::Sse2:
#if defined(__SSE2__)
        return true;
#else
        return false;
#endif
    case BlurMethod::Avx2:
#if defined(__SSE2__)
        return hasAvx2();
#else
        return false;
#endif
    }
    return false;
}

void BlurBitmap(QImage *bitmap, BlurMethod method)
{
    if (!bitmap || bitmap->isNull())
        return;
    if (bitmap->width() < 5 || bitmap->height() < 3)
        return; // no pixel has all its neighbours inside
    switch (bitmap->format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        // On little-endian machines the three colour bytes of these formats are
        // the first three of each pixel.
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            blur<4>(bitmap, method);
            return;
        }
        break;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        blur<3>(bitmap, method);
        return;
    default:
        break;
    }
    *bitmap = bitmap->convertToFormat(QImage::Format_RGB32);
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        blur<4>(bitmap, method);
    } else {
        QImage rgb = bitmap->convertToFormat(QImage::Format_RGB888);
        blur<3>(&rgb, method);
        *bitmap = rgb.convertToFormat(QImage::Format_RGB32);
    }
}

void PrintBMP(QPainter &canvas, int x, int y, int width, int height, const QImage &bitmap)
{
    if (bitmap.isNull() || width <= 0 || height <= 0)
        return;
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, true);
    canvas.drawImage(QRect(x, y, width, height), bitmap);
    canvas.restore();
}

QImage halve(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const int w = picture.width() / 2;
    const int h = picture.height() / 2;
    const int depth = picture.depth();
    if (depth != 32 && depth != 24 && depth != 8)
        return picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const int bpp = depth / 8;
    QImage out(w, h, picture.format());
    if (out.isNull())
        return {};
    if (picture.format() == QImage::Format_Indexed8)
        out.setColorTable(picture.colorTable());
    for (int y = 0; y < h; ++y) {
        const uchar *src = picture.constScanLine(2 * y);
        uchar *dst = out.scanLine(y);
        if (bpp == 4) {
            const auto *s = reinterpret_cast<const quint32 *>(src);
            auto *d = reinterpret_cast<quint32 *>(dst);
            for (int x = 0; x < w; ++x)
                d[x] = s[2 * x];
        } else {
            for (int x = 0; x < w; ++x)
                std::memcpy(dst + x * bpp, src + 2 * x * bpp, size_t(bpp));
        }
    }
    return out;
}

} // namespace Bitmaps
