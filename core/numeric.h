#pragma once

#include <QString>

#include <cstdint>
#include <limits>
#include <type_traits>

#include "core/errors.h"

namespace grelm {

/// Rounds to the nearest integer, an exact half to the even neighbour; throws
/// OverflowError when the result does not fit a signed 32-bit integer.
std::int32_t roundToInt32(double value);

/// Converts between integer types, throwing OverflowError when the value does not fit.
template <typename To, typename From>
To checkedNarrow(From value)
{
    static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
    if (!std::in_range<To>(value))
        throw OverflowError();
    return static_cast<To>(value);
}

/// Converts a text to a signed 32-bit integer the way a user expects of a number
/// box: blanks around it are allowed, a fraction is rounded half to even; throws
/// TypeMismatchError for a text that is not a number (the empty text included)
/// and OverflowError for one outside the range.
std::int32_t textToInt32(const QString &text);

/// The leading numeric value of a text (blanks skipped), or 0 when it starts with
/// no number: "12 files" gives 12, "abc" gives 0.
double leadingNumber(const QString &text);

} // namespace grelm
