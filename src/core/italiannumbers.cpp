#include "core/italiannumbers.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace ItalianNumbers {
namespace {

const QLocale &italian()
{
    static const QLocale locale = [] {
        QLocale l(QLocale::Italian, QLocale::Italy);
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    return locale;
}

// A non-negative finite value as decimal digits rounded half away from zero to
// `decimals` places, computed on its 15 significant digits: {integer digits, fraction digits}.
std::pair<QString, QString> decimalDigits(double magnitude, int decimals)
{
    // QString::number writes the C locale's digits whatever the process locale is.
    const QString text = QString::number(magnitude, 'e', 14);
    const int ePos = text.indexOf(QLatin1Char('e'));
    QString digits = text.left(ePos).remove(QLatin1Char('.'));
    const int exponent = text.mid(ePos + 1).toInt();

    // Digits kept: those before the point (exponent + 1) and `decimals` after it.
    const int kept = exponent + 1 + decimals;
    QString result;
    if (kept < 0) {
        result = QString();
    } else if (kept >= digits.size()) {
        result = digits + QString(kept - digits.size(), QLatin1Char('0'));
    } else {
        result = digits.left(kept);
        if (digits.at(kept) >= QLatin1Char('5')) {
            int i = result.size() - 1;
            for (; i >= 0; --i) {
                if (result.at(i) == QLatin1Char('9')) {
                    result[i] = QLatin1Char('0');
                } else {
                    result[i] = QChar(result.at(i).unicode() + 1);
                    break;
                }
            }
            if (i < 0)
                result.prepend(QLatin1Char('1'));
        }
    }
    if (result.size() < decimals + 1)
        result = QString(decimals + 1 - result.size(), QLatin1Char('0')) + result;
    QString integerPart = result.left(result.size() - decimals);
    while (integerPart.size() > 1 && integerPart.startsWith(QLatin1Char('0')))
        integerPart.remove(0, 1);
    return {integerPart, result.right(decimals)};
}

} // namespace

std::optional<double> toDouble(const QString &text)
{
    const QString trimmed = text.trimmed();
    // "0.001" would read as a thousands group after a zero, that is 1: whoever typed it
    // meant a decimal point, and no Italian number begins that way.
    static const QRegularExpression zeroThenGroup(QStringLiteral("^[+-]?0+\\."));
    if (zeroThenGroup.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = italian().toDouble(trimmed, &ok); // its option concerns writing only
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value == 0.0 ? 0.0 : value; // no "-0"
}

double leadingNumber(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    const int start = i;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    int mantissaDigits = 0;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0.0;
    int end = i;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        const int exponentStart = j;
        while (j < n && text.at(j).isDigit() && text.at(j).unicode() < 128)
            ++j;
        if (j > exponentStart)
            end = j;
    }
    const double value = text.mid(start, end - start).toDouble();
    if (!std::isfinite(value))
        return 0.0;
    return value == 0.0 ? 0.0 : value;
}

QString toText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return QString();
    // Positional notation, never an exponent: a person reads "0,00005", and the typing checks
    // read back what they are given.
    const QString text = QString::number(std::fabs(value), 'e', 14);
    const int ePos = text.indexOf(QLatin1Char('e'));
    QString digits = text.left(ePos).remove(QLatin1Char('.'));
    const int exponent = text.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    QString integerPart, fraction;
    if (exponent < 0) {
        integerPart = QStringLiteral("0");
        fraction = QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (exponent + 1 >= digits.size()) {
        integerPart = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
    } else {
        integerPart = digits.left(exponent + 1);
        fraction = digits.mid(exponent + 1);
    }
    QString result = value < 0 ? QStringLiteral("-") + integerPart : integerPart;
    if (!fraction.isEmpty())
        result += QLatin1Char(',') + fraction;
    return result;
}

double asRead(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    return QString::number(value, 'e', 14).toDouble();
}

QString integerPartText(double value)
{
    return toText(std::floor(asRead(value)));
}

QString toGroupedText(double value)
{
    QString text = toText(value);
    const int sign = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    int end = text.indexOf(QLatin1Char(','));
    if (end < 0)
        end = int(text.size());
    for (int i = end - 3; i > sign; i -= 3)
        text.insert(i, QLatin1Char('.'));
    return text;
}

QString toFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString();
    const auto [integerPart, fraction] = decimalDigits(std::fabs(value), decimals);
    QString grouped;
    for (int i = 0; i < integerPart.size(); ++i) {
        if (i > 0 && (integerPart.size() - i) % 3 == 0)
            grouped += QLatin1Char('.');
        grouped += integerPart.at(i);
    }
    const bool negative = value < 0 && (integerPart != QLatin1String("0") ||
                                        fraction != QString(decimals, QLatin1Char('0')));
    return (negative ? QStringLiteral("-") : QString()) + grouped +
           (decimals > 0 ? QLatin1Char(',') + fraction : QString());
}

QString toFixed2(double value)
{
    return toFixed(value, 2);
}

QString toFixed1(double value)
{
    if (!std::isfinite(value))
        return QString();
    const auto [integerPart, fraction] = decimalDigits(std::fabs(value), 1);
    const bool negative =
        value < 0 && (integerPart != QLatin1String("0") || fraction != QLatin1String("0"));
    return (negative ? QStringLiteral("-") : QString()) + integerPart + QLatin1Char(',') + fraction;
}

double roundTo2(double value)
{
    if (!std::isfinite(value))
        return value;
    const auto [integerPart, fraction] = decimalDigits(std::fabs(value), 2);
    const double magnitude = (integerPart + QLatin1Char('.') + fraction).toDouble();
    return value < 0 ? -magnitude : magnitude;
}

} // namespace ItalianNumbers
