#include "foundation/SettingsAccess.h"

#include "foundation/SettingsStore.h"

#include <QStringList>

namespace {

QVariant read(const QString& key)
{
    return SettingsStore::instance().value(key);
}

// The store gives lists back as lists whatever their length; anything else
// is not a list.
std::optional<QVariantList> asList(const QVariant& v)
{
    if (v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QStringList)
        return v.toList();
    return std::nullopt;
}

} // namespace

qint64 defaultInt(const QString& key)
{
    const QVariant v = read(key);
    if (!v.isValid())
        return 0;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    // Leading digits, as a text setting read as an integer gives them.
    const QString text = v.toString().trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
        ++end;
    while (end < text.size() && text[end].isDigit())
        ++end;
    return text.left(end).toLongLong();
}

void setDefaultInt(const QString& key, qint64 value)
{
    SettingsStore::instance().setValue(key, value);
}

QVariant defaultObject(const QString& key)
{
    return read(key);
}

void setDefaultObject(const QString& key, const QVariant& value)
{
    SettingsStore::instance().setValue(key, value);
}

std::optional<QVariantList> defaultArray(const QString& key)
{
    return asList(read(key));
}

void setDefaultArray(const QString& key, const QVariantList& value)
{
    SettingsStore::instance().setValue(key, value);
}

std::optional<QVariantMap> defaultDict(const QString& key)
{
    const QVariant v = read(key);
    if (v.typeId() == QMetaType::QVariantMap)
        return v.toMap();
    return std::nullopt;
}

void setDefaultDict(const QString& key, const QVariantMap& value)
{
    SettingsStore::instance().setValue(key, value);
}

std::optional<QString> defaultString(const QString& key)
{
    const QVariant v = read(key);
    if (!v.isValid() || v.typeId() == QMetaType::QVariantList ||
        v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantMap)
        return std::nullopt;
    return v.toString();
}

void setDefaultString(const QString& key, const QString& value)
{
    SettingsStore::instance().setValue(key, value);
}

std::optional<QUrl> defaultURL(const QString& key)
{
    const auto text = defaultString(key);
    if (!text)
        return std::nullopt;
    const QUrl url(*text);
    if (!url.isValid() || url.isEmpty())
        return std::nullopt;
    return url;
}

void setDefaultURL(const QString& key, const QUrl& value)
{
    SettingsStore::instance().setValue(key, value.toString());
}

float defaultFloat(const QString& key)
{
    bool ok = false;
    const float f = read(key).toFloat(&ok);
    return ok ? f : 0.0f;
}

void setDefaultFloat(const QString& key, float value)
{
    SettingsStore::instance().setValue(key, value);
}

QStringList defaultStringList(const QString& key)
{
    QStringList out;
    if (const auto list = defaultArray(key))
        for (const QVariant& v : *list)
            out.append(v.toString());
    return out;
}

QList<QByteArray> defaultDataList(const QString& key)
{
    QList<QByteArray> out;
    if (const auto list = defaultArray(key))
        for (const QVariant& v : *list)
            out.append(v.toByteArray());
    return out;
}

void synchronize()
{
    SettingsStore::instance().synchronize();
}
