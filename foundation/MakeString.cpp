#include "foundation/MakeString.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

FormatArg::FormatArg(const QVariant& v) : m_kind(Kind::Text)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        m_kind = Kind::Signed;
        m_signed = v.toLongLong();
        break;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
        m_kind = Kind::Unsigned;
        m_unsigned = v.toULongLong();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        m_kind = Kind::Floating;
        m_double = v.toDouble();
        break;
    case QMetaType::QStringList:
        m_text = QStringLiteral("(") + v.toStringList().join(QStringLiteral(", ")) + ")";
        break;
    default:
        m_text = v.isNull() ? QStringLiteral("(null)") : v.toString();
        break;
    }
}

long long FormatArg::asSigned() const
{
    switch (m_kind) {
    case Kind::Signed:
        return m_signed;
    case Kind::Unsigned:
    case Kind::Pointer:
        return static_cast<long long>(m_unsigned);
    case Kind::Floating:
        // Converting NaN or a value out of range is undefined: clamp instead.
        if (std::isnan(m_double))
            return 0;
        if (m_double >= 9223372036854775808.0)
            return std::numeric_limits<long long>::max();
        if (m_double <= -9223372036854775808.0)
            return std::numeric_limits<long long>::min();
        return static_cast<long long>(m_double);
    case Kind::Text:
        return m_text.toLongLong();
    }
    return 0;
}

unsigned long long FormatArg::asUnsigned() const
{
    switch (m_kind) {
    case Kind::Signed:
        return static_cast<unsigned long long>(m_signed);
    case Kind::Unsigned:
    case Kind::Pointer:
        return m_unsigned;
    case Kind::Floating:
        if (!(m_double > 0)) // NaN too
            return 0;
        if (m_double >= 18446744073709551616.0)
            return std::numeric_limits<unsigned long long>::max();
        return static_cast<unsigned long long>(m_double);
    case Kind::Text:
        return m_text.toULongLong();
    }
    return 0;
}

double FormatArg::asDouble() const
{
    switch (m_kind) {
    case Kind::Signed:
        return static_cast<double>(m_signed);
    case Kind::Unsigned:
    case Kind::Pointer:
        return static_cast<double>(m_unsigned);
    case Kind::Floating:
        return m_double;
    case Kind::Text:
        return m_text.toDouble();
    }
    return 0;
}

QString FormatArg::asText() const
{
    switch (m_kind) {
    case Kind::Signed:
        return QString::number(m_signed);
    case Kind::Unsigned:
        return QString::number(m_unsigned);
    case Kind::Floating:
        return QString::number(m_double, 'g', 17);
    case Kind::Pointer:
        return QStringLiteral("0x") + QString::number(m_unsigned, 16);
    case Kind::Text:
        return m_text;
    }
    return {};
}

namespace {

// A directive holds ASCII only: any other character ends it (and is then
// copied as written), so no character is ever cut to a byte that would mean
// something else ("%\u096Ed" must not become "%nd").
bool isFlag(QChar c)
{
    return c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'0';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Widths beyond this would only pad with blanks; they are cut here so a format
// cannot ask for gigabytes.
constexpr int kMaxWidth = 4096;

int clampedWidth(long long width)
{
    return int(std::clamp<long long>(width, -kMaxWidth, kMaxWidth));
}

// Formats one value with the C library into a buffer as large as the result.
template <typename T> QString cFormat(const QByteArray& directive, T value)
{
    char small[128];
    const int needed = std::snprintf(small, sizeof small, directive.constData(), value);
    if (needed < 0)
        return {};
    if (needed < int(sizeof small))
        return QString::fromLatin1(small, needed);
    std::vector<char> large(std::size_t(needed) + 1);
    std::snprintf(large.data(), large.size(), directive.constData(), value);
    return QString::fromLatin1(large.data(), needed);
}

// Runs one numeric conversion through the C library with the directive as
// written (flags, width, precision), the length modifier replaced by the one
// that matches the value's C type.
QString printfNumber(const QByteArray& flagsWidthPrecision, char conversion, const FormatArg& arg)
{
    QByteArray directive = "%" + flagsWidthPrecision;
    switch (conversion) {
    case 'd':
    case 'i':
        return cFormat(directive + "lld", arg.asSigned());
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        return cFormat(directive + "ll" + conversion, arg.asUnsigned());
    case 'c':
        // A char argument arrives as text; a number is a character code.
        if (arg.kind() == FormatArg::Kind::Text)
            return arg.asText().left(1);
        return QString(QChar(char16_t(arg.asUnsigned())));
    default: // f F e E g G a A
        return cFormat(directive + conversion, arg.asDouble());
    }
}

QString padText(const QString& text, const QByteArray& flags, int width, int precision)
{
    QString t = precision >= 0 ? text.left(precision) : text;
    if (width > t.size()) {
        const QString pad(width - t.size(), u' ');
        t = flags.contains('-') ? t + pad : pad + t;
    }
    return t;
}

} // namespace

QString formatWithArgs(QStringView format, std::initializer_list<FormatArg> argList)
{
    const std::vector<FormatArg> args(argList);
    std::size_t next = 0;
    QString out;
    out.reserve(format.size() + 16 * qsizetype(args.size()));
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 >= n) {
            out += c;
            break;
        }
        if (format[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        // Parse %[flags][width][.precision][length]conversion
        qsizetype j = i + 1;
        QByteArray flags;
        while (j < n && isFlag(format[j]))
            flags += char(format[j++].unicode());
        QByteArray widthText;
        int width = 0;
        if (j < n && format[j] == u'*') {
            width = next < args.size() ? clampedWidth(args[next++].asSigned()) : 0;
            widthText = QByteArray::number(width);
            ++j;
        } else {
            QByteArray digits;
            while (j < n && isAsciiDigit(format[j]))
                digits += char(format[j++].unicode());
            bool ok = false;
            const long long written = digits.toLongLong(&ok);
            width = digits.isEmpty() ? 0 : clampedWidth(ok ? written : kMaxWidth);
            if (!digits.isEmpty())
                widthText = QByteArray::number(width);
        }
        QByteArray precisionText;
        int precision = -1;
        if (j < n && format[j] == u'.') {
            ++j;
            if (j < n && format[j] == u'*') {
                // A negative precision from the arguments counts as none.
                const long long p = next < args.size() ? args[next++].asSigned() : 0;
                precision = p < 0 ? -1 : int(std::min<long long>(p, kMaxWidth));
                ++j;
            } else {
                QByteArray digits;
                while (j < n && isAsciiDigit(format[j]))
                    digits += char(format[j++].unicode());
                bool ok = false;
                const long long p = digits.toLongLong(&ok);
                precision = int(std::min<long long>(ok ? p : kMaxWidth, kMaxWidth));
                if (digits.isEmpty())
                    precision = 0;
            }
            if (precision >= 0)
                precisionText = "." + QByteArray::number(precision);
        }
        while (j < n &&
               (format[j] == u'l' || format[j] == u'h' || format[j] == u'q' || format[j] == u'z' ||
                format[j] == u't' || format[j] == u'j' || format[j] == u'L'))
            ++j;
        if (j >= n) {
            out += format.mid(i);
            break;
        }
        // Anything but an ASCII letter ends the directive without a conversion.
        const char conversion = format[j].unicode() < 0x80 ? char(format[j].unicode()) : '\0';
        const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
        switch (conversion) {
        case '@':
        case 's':
        case 'S':
            if (arg)
                out += padText(arg->asText(), flags, width, precision);
            ++next;
            break;
        case 'p':
            if (arg)
                out += padText(QStringLiteral("0x") + QString::number(arg->asUnsigned(), 16), flags,
                               width, -1);
            ++next;
            break;
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
        case 'o':
        case 'c':
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (arg)
                out += printfNumber(flags + widthText + precisionText, conversion, *arg);
            ++next;
            break;
        default:
            // Not a conversion: keep the text as written.
            out += format.mid(i, j - i + 1);
            break;
        }
        i = j;
    }
    return out;
}
