#include "shell/widgets/float_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace vr410 {

namespace {

constexpr int SignificantDigits = 18;

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Adds one to the decimal digit string, carrying; "99" becomes "100".
void Increment(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::optional<long double> ParseDecimal(const QString& text, QChar separator) {
    std::string plain; // the number in the C form from_chars reads
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' ')) {
        ++i;
    }
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        if (text[i] == QLatin1Char('-')) {
            plain.push_back('-');
        }
        ++i;
    }
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            plain.push_back(static_cast<char>(text[i].unicode()));
            ++mantissaDigits;
        } else if (text[i] == separator && !separatorSeen) {
            plain.push_back('.');
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        plain.push_back('e');
        ++i;
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
            plain.push_back(static_cast<char>(text[i].unicode()));
            ++i;
        }
        int exponentDigits = 0;
        for (; i < n && IsDigit(text[i]); ++i) {
            plain.push_back(static_cast<char>(text[i].unicode()));
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    while (i < n && text[i] == QLatin1Char(' ')) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }
    long double value = 0;
    const char* end = plain.data() + plain.size();
    const std::from_chars_result result = std::from_chars(plain.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int32_t> ParseInt32(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' ')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (text[i].unicode() - '0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            return std::nullopt;
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

QString FixedForm(long double value, int digits, QChar separator) {
    digits = std::clamp(digits, 0, SignificantDigits);
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    }
    // The 18 significant digits and the decimal exponent of the value's magnitude.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", SignificantDigits - 1, std::fabs(value));
    std::string significant(1, buffer[0]);
    significant.append(buffer + 2, SignificantDigits - 1);
    int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    if (value == 0) {
        exponent = 0;
    }
    int integerDigits = exponent + 1;
    if (integerDigits > SignificantDigits) {
        std::snprintf(buffer, sizeof buffer, "%.*LE", SignificantDigits - 1, value);
        QString scientific = QString::fromLatin1(buffer);
        scientific.replace(QLatin1Char('.'), separator);
        return scientific;
    }
    // All digits from the first integer digit on; the point stands after `integerDigits`.
    std::string all = significant;
    if (integerDigits <= 0) {
        all.insert(0, static_cast<size_t>(-integerDigits), '0');
        integerDigits = 0;
    }
    const size_t keep = static_cast<size_t>(integerDigits) + static_cast<size_t>(digits);
    std::string kept = all.substr(0, std::min(keep, all.size()));
    kept.resize(keep, '0');
    if (keep < all.size() && all[keep] >= '5') {
        const size_t before = kept.size();
        Increment(kept);
        integerDigits += static_cast<int>(kept.size() - before);
    }
    std::string integerPart = kept.substr(0, static_cast<size_t>(integerDigits));
    const std::string fraction = kept.substr(static_cast<size_t>(integerDigits));
    const size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);
    const bool zero = kept.find_first_not_of('0') == std::string::npos;

    QString text;
    if (value < 0 && !zero) {
        text += QLatin1Char('-');
    }
    text += QString::fromLatin1(integerPart);
    if (digits > 0) {
        text += separator;
        text += QString::fromLatin1(fraction);
    }
    return text;
}

} // namespace vr410
