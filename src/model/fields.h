#pragma once
// Fixed-width number fields as the structure files and grids write them:
// right-aligned, growing when the value needs more room.

#include <string>
#include <string_view>

namespace kestro {

// Fixed-point with `decimals` decimals right-aligned in `width`; with 0
// decimals no point is written. A value that rounds to zero never carries
// a minus sign.
std::string fmt_real(double value, int width, int decimals);
// Decimal integer right-aligned in `width` (0: no padding).
std::string fmt_int(long long value, int width = 0);
// Text followed by blanks up to n characters; a longer text is kept whole.
std::string fill_to(std::string_view text, std::size_t n);
// Blanks and then the text, n characters in all; a longer text is kept whole.
std::string right_align(std::string_view text, std::size_t n);

} // namespace kestro
