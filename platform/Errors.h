#pragma once
// Exceptions with the texts users and callers know from the original
// platform. Every error the program raises derives from Exception, whose
// Message is what the user is shown when it leaves an event handler.

#include <QString>
#include <cmath>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// "List index out of bounds (%d)" and the like.
class EListError : public Exception {
public:
    using Exception::Exception;
    static EListError IndexOutOfBounds(int index);
};

// A text that is not a number of the kind asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
    static EConvertError NotInteger(const QString& text);
    static EConvertError NotFloat(const QString& text);
};

// Floating-point errors: C++ yields inf or NaN where the platform raised.
class EMathError : public Exception {
public:
    using Exception::Exception;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide();
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp();
};
class EOverflow : public EMathError {
public:
    EOverflow();
};

// Integer division by zero.
class EDivByZero : public Exception {
public:
    EDivByZero();
};

// A class name that the class registry does not know.
class EClassNotFound : public Exception {
public:
    explicit EClassNotFound(const QString& className);
};

// A file that cannot be read, written or understood.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

namespace fc {

// The raising halves of Divide and CheckFinite, out of line so that the
// checks themselves stay small enough to inline into every kernel.
[[noreturn]] void RaiseDivisionError(double a);
[[noreturn]] void RaiseNotFinite(double x);

// Raises EInvalidOp for NaN and EOverflow for an infinity; returns x.
inline double CheckFinite(double x)
{
    if (std::isfinite(x)) [[likely]]
        return x;
    RaiseNotFinite(x);
}

// a / b as the platform divided: x/0 raises "Floating point division by
// zero", 0/0 "Invalid floating point operation", and a result that is not
// finite "Floating point overflow" (NaN: "Invalid floating point operation").
inline double Divide(double a, double b)
{
    if (b != 0.0) [[likely]]
        return CheckFinite(a / b);
    RaiseDivisionError(a);
}

} // namespace fc
