#pragma once
// to_pixel of two points at a time with SSE2, in the same operations as
// the scalar form: each is correctly rounded either way, so the pixels are
// the same.

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cmath>

#include "drawing/view.h"

namespace kestro {

// round_half_even of two values.
inline __m128d round_half_even_pair(__m128d v)
{
    const __m128d sign = _mm_set1_pd(-0.0), unit = _mm_set1_pd(4503599627370496.0);
    const __m128d magnitude = _mm_andnot_pd(sign, v);
    const __m128d rounded = _mm_or_pd(_mm_and_pd(sign, v), _mm_sub_pd(_mm_add_pd(magnitude, unit), unit));
    const __m128d small = _mm_cmplt_pd(magnitude, unit);
    return _mm_or_pd(_mm_and_pd(small, rounded), _mm_andnot_pd(small, v));
}

// The clamp of to_pixel, then the conversion to int.
inline __m128i pixel_pair(__m128d v)
{
    const __m128d limit = _mm_set1_pd(1e8), infinity = _mm_set1_pd(HUGE_VAL);
    const __m128d finite = _mm_cmplt_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), v), infinity);
    const __m128d clamped = _mm_max_pd(_mm_min_pd(v, limit), _mm_sub_pd(_mm_setzero_pd(), limit));
    const __m128d chosen = _mm_or_pd(_mm_and_pd(finite, clamped), _mm_andnot_pd(finite, _mm_set1_pd(-1e8)));
    return _mm_cvttpd_epi32(chosen);
}

// The pixels of the points (x[0], y[0]) and (x[1], y[1]), as the four ints
// x0, y0, x1, y1 of two PixelPoints.
inline __m128i to_pixel_pair(const ScreenMap& screen, __m128d x, __m128d y)
{
    const __m128d s = _mm_set1_pd(screen.s);
    const __m128i column = pixel_pair(round_half_even_pair(_mm_add_pd(_mm_mul_pd(x, s), _mm_set1_pd(screen.x0))));
    const __m128i row = pixel_pair(_mm_sub_pd(_mm_set1_pd(screen.y0), round_half_even_pair(_mm_mul_pd(y, s))));
    return _mm_unpacklo_epi32(column, row);
}

} // namespace kestro
#endif
