#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

// One formatting argument of makeString. Every value that makeString accepts
// converts to one of these; the formatter then honours the conversion
// character of the format where it fits the value.
class FormatArg final
{
public:
    enum class Kind { Signed, Unsigned, Floating, Text, Pointer };

    template <typename T>
    requires(std::is_integral_v<T>&& std::is_signed_v<T> && !std::is_same_v<T, char>) FormatArg(T v)
        : m_kind(Kind::Signed), m_signed(static_cast<long long>(v))
    {
    }
    template <typename T>
    requires(std::is_integral_v<T>&& std::is_unsigned_v<T> && !std::is_same_v<T, bool>)
        FormatArg(T v)
        : m_kind(Kind::Unsigned), m_unsigned(static_cast<unsigned long long>(v))
    {
    }
    template <typename T>
    requires std::is_enum_v<T> FormatArg(T v)
        : m_kind(Kind::Signed), m_signed(static_cast<long long>(v))
    {
    }
    FormatArg(bool v) : m_kind(Kind::Signed), m_signed(v ? 1 : 0) {}
    FormatArg(char c) : m_kind(Kind::Text), m_text(QString(QChar::fromLatin1(c))) {}
    FormatArg(float v) : m_kind(Kind::Floating), m_double(v) {}
    FormatArg(double v) : m_kind(Kind::Floating), m_double(v) {}
    FormatArg(const QString& s) : m_kind(Kind::Text), m_text(s) {}
    FormatArg(QStringView s) : m_kind(Kind::Text), m_text(s.toString()) {}
    FormatArg(const char* s) : m_kind(Kind::Text), m_text(QString::fromUtf8(s ? s : "(null)")) {}
    FormatArg(const std::string& s) : m_kind(Kind::Text), m_text(QString::fromStdString(s)) {}
    FormatArg(std::string_view s)
        : m_kind(Kind::Text), m_text(QString::fromUtf8(s.data(), qsizetype(s.size())))
    {
    }
    FormatArg(const QByteArray& b) : m_kind(Kind::Text), m_text(QString::fromUtf8(b)) {}
    FormatArg(const QUrl& u)
        : m_kind(Kind::Text), m_text(u.isLocalFile() ? u.toLocalFile() : u.toString())
    {
    }
    FormatArg(const QStringList& l)
        : m_kind(Kind::Text), m_text(QStringLiteral("(") + l.join(QStringLiteral(", ")) + ")")
    {
    }
    FormatArg(const QVariant& v);
    FormatArg(const void* p)
        : m_kind(Kind::Pointer), m_unsigned(reinterpret_cast<std::uintptr_t>(p))
    {
    }
    template <typename T>
    requires(!std::is_same_v<std::remove_cv_t<T>, char>) FormatArg(T* p)
        : FormatArg(static_cast<const void*>(p))
    {
    }

    Kind kind() const { return m_kind; }
    long long asSigned() const;
    unsigned long long asUnsigned() const;
    double asDouble() const;
    QString asText() const;

private:
    Kind m_kind;
    long long m_signed = 0;
    unsigned long long m_unsigned = 0;
    double m_double = 0;
    QString m_text;
};

// Formats with printf conversions plus "%@" for a string or any value with a
// text form. The arguments are checked at compile time: only values that
// FormatArg accepts compile. A conversion without an argument prints nothing.
QString formatWithArgs(QStringView format, std::initializer_list<FormatArg> args);

template <typename... Args> QString makeString(const QString& format, const Args&... args)
{
    return formatWithArgs(format, {FormatArg(args)...});
}

template <typename... Args> QString makeString(const char* format, const Args&... args)
{
    return formatWithArgs(QString::fromUtf8(format), {FormatArg(args)...});
}
