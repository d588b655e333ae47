#pragma once

#include <stdexcept>
#include <string>

namespace grelm {

/// Base of every error that travels up to the one handler of a user command.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A number did not fit the integer it was stored into.
class OverflowError : public AppError {
public:
    OverflowError() : AppError("Overflow") {}
};

/// A text that had to be a number was not one.
class TypeMismatchError : public AppError {
public:
    TypeMismatchError() : AppError("Type mismatch") {}
};

/// A division by zero or an invalid floating-point result.
class FloatingPointError : public AppError {
public:
    FloatingPointError() : AppError("Division by zero") {}
};

/// A file or folder operation failed; the text says which and why.
class FileError : public AppError {
public:
    using AppError::AppError;
};

} // namespace grelm
