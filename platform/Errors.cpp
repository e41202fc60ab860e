#include "Errors.h"

#include <cmath>

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

EListError EListError::IndexOutOfBounds(int index)
{
    return EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

EConvertError EConvertError::NotInteger(const QString& text)
{
    return EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

EConvertError EConvertError::NotFloat(const QString& text)
{
    return EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

EZeroDivide::EZeroDivide() : EMathError(QStringLiteral("Floating point division by zero")) {}
EInvalidOp::EInvalidOp() : EMathError(QStringLiteral("Invalid floating point operation")) {}
EOverflow::EOverflow() : EMathError(QStringLiteral("Floating point overflow")) {}
EDivByZero::EDivByZero() : Exception(QStringLiteral("Division by zero")) {}
EClassNotFound::EClassNotFound(const QString& className)
    : Exception(QStringLiteral("Class %1 not found").arg(className))
{
}

namespace fc {

void RaiseDivisionError(double a)
{
    if (a == 0.0 || std::isnan(a))
        throw EInvalidOp();
    throw EZeroDivide();
}

void RaiseNotFinite(double x)
{
    if (std::isnan(x))
        throw EInvalidOp();
    throw EOverflow();
}

} // namespace fc
