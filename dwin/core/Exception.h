#pragma once
// Exception classes of the platform layer, modelled on the error kinds of a managed runtime:
// text errors, argument errors and COM errors. All carry a message; the root class may carry
// a chained exception (the cause).

#include <cstdint>
#include <exception>
#include <string>

namespace dwin::core {

// Root of the layer's exceptions. what() and msg() give the message.
class Exception : public std::exception {
public:
    explicit Exception(std::string msg, std::exception_ptr next = nullptr);
    const std::string& msg() const noexcept { return msg_; }
    const char* what() const noexcept override { return msg_.c_str(); }
    // The chained exception, or null.
    std::exception_ptr next() const noexcept { return next_; }

private:
    std::string msg_;
    std::exception_ptr next_;
};

// Text errors.
class TextException : public Exception {
public:
    using Exception::Exception;
};

// Argument errors; also raised by the code-page conversion.
class IllegalArgumentException : public Exception {
public:
    using Exception::Exception;
};

// Malformed UTF-8, UTF-16 or UTF-32 input; offset() is the index of the offending unit.
class UtfException : public Exception {
public:
    UtfException(std::string msg, std::size_t offset);
    std::size_t offset() const noexcept { return offset_; }

private:
    std::size_t offset_;
};

class FormatException : public TextException {
public:
    using TextException::TextException;
};

class NotImplementedException : public TextException {
public:
    using TextException::TextException;
};

class InvalidOperationException : public TextException {
public:
    InvalidOperationException() : TextException("") {}
    using TextException::TextException;
};

class UnauthorizedAccessException : public TextException {
public:
    using TextException::TextException;
};

class NullReferenceException : public TextException {
public:
    using TextException::TextException;
};

class ArgumentOutOfRangeException : public IllegalArgumentException {
public:
    using IllegalArgumentException::IllegalArgumentException;
};

class ArgumentNullException : public IllegalArgumentException {
public:
    using IllegalArgumentException::IllegalArgumentException;
};

// A COM failure; getErrorCode() is the HRESULT (0 when built from a message only).
class COMException : public Exception {
public:
    explicit COMException(std::string msg) : Exception(std::move(msg)) {}
    COMException(std::string msg, std::int32_t errorCode)
        : Exception(std::move(msg)), errorCode_(errorCode)
    {
    }
    virtual std::int32_t getErrorCode() const noexcept { return errorCode_; }

private:
    std::int32_t errorCode_ = 0;
};

// Failure of the embedded browser, e.g. "Create IE instance failed".
class IEException : public COMException {
public:
    using COMException::COMException;
};

class MailException : public COMException {
public:
    using COMException::COMException;
};

class InvalidCastException : public COMException {
public:
    using COMException::COMException;
};

} // namespace dwin::core
