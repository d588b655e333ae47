#pragma once

#include "core/errors.h"

namespace grelm {

/// A thumbnail cannot be made: no picture was given, the box is empty or
/// negative, or the canvas cannot be allocated.
class ThumbnailError : public AppError {
public:
    using AppError::AppError;
};

} // namespace grelm
