#include "foundation/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <optional>

namespace {

QString defaultSettingsPath()
{
    const QByteArray fromEnv = qgetenv("VANTREO_SETTINGS_FILE");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        config = QDir::homePath() + "/.config";
    return config + "/Vantreo/Vantreo.ini";
}

// An INI file cannot tell a one-element list from a plain value (it writes
// both as "Key=value") nor an empty list from an unset key ("@Invalid()").
// A list is therefore written as a group of its own, one plain entry per
// element and its length, which a person can read and edit:
//
//   [DestinationNames]
//   1=Movies
//   2=Series
//   size=2
//
// Files of earlier versions kept lists wrapped in a one-entry map, written
// as an "@Variant(...)" blob; those still read.
const QString kListTag = QStringLiteral("@list");
const QString kListSize = QStringLiteral("/size");
constexpr int kMaxListSize = 100000;

bool isList(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

// Bytes that are text are written as text; other bytes keep QSettings'
// escaped "@ByteArray(...)" form so they come back unchanged.
QVariant elementForFile(const QVariant& element)
{
    if (element.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = element.toByteArray();
        const QString text = QString::fromUtf8(bytes);
        if (text.toUtf8() == bytes)
            return text;
    }
    return element;
}

QVariant unwrapOldList(const QVariant& value)
{
    if (value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        if (map.size() == 1 && map.contains(kListTag))
            return map.value(kListTag).toList();
    }
    return value;
}

std::optional<QVariantList> readList(const QSettings& settings, const QString& key)
{
    if (!settings.contains(key + kListSize))
        return std::nullopt;
    const int size = std::clamp(settings.value(key + kListSize).toInt(), 0, kMaxListSize);
    QVariantList list;
    for (int i = 1; i <= size; ++i)
        list.append(settings.value(key + QLatin1Char('/') + QString::number(i)));
    return list;
}

void writeList(QSettings& settings, const QString& key, const QVariantList& list)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        settings.setValue(key + QLatin1Char('/') + QString::number(i + 1),
                          elementForFile(list.at(i)));
    settings.setValue(key + kListSize, int(list.size()));
}

} // namespace

SettingsStore& SettingsStore::instance()
{
    static SettingsStore store;
    return store;
}

SettingsStore::SettingsStore()
{
    openLocked(defaultSettingsPath());
}

SettingsStore::~SettingsStore()
{
    if (m_settings)
        m_settings->sync();
}

void SettingsStore::openLocked(const QString& path)
{
    if (m_settings)
        m_settings->sync();
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

void SettingsStore::useFile(const QString& path)
{
    QMutexLocker lock(&m_mutex);
    openLocked(path);
}

QString SettingsStore::fileName() const
{
    QMutexLocker lock(&m_mutex);
    return m_settings->fileName();
}

void SettingsStore::registerDefaults(const QVariantHash& defaults)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        m_defaults.insert(it.key(), it.value());
}

QVariantHash SettingsStore::registeredDefaults() const
{
    QMutexLocker lock(&m_mutex);
    return m_defaults;
}

void SettingsStore::setRunOverride(const QString& key, const QVariant& value)
{
    QMutexLocker lock(&m_mutex);
    m_overrides.insert(key, value);
}

QVariant SettingsStore::value(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    if (m_overrides.contains(key))
        return m_overrides.value(key);
    if (m_settings->contains(key))
        return unwrapOldList(m_settings->value(key));
    if (const auto list = readList(*m_settings, key))
        return *list;
    return m_defaults.value(key);
}

bool SettingsStore::hasUserValue(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    return m_settings->contains(key) || m_settings->contains(key + kListSize);
}

void SettingsStore::setValue(const QString& key, const QVariant& value)
{
    QMutexLocker lock(&m_mutex);
    // Drops the value and a list group of the same name alike.
    m_settings->remove(key);
    if (isList(value))
        writeList(*m_settings, key, value.toList());
    else
        m_settings->setValue(key, value);
}

void SettingsStore::removeValue(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    m_settings->remove(key);
}

QStringList SettingsStore::userKeys() const
{
    QMutexLocker lock(&m_mutex);
    // The entries of a list group stand for the list's one key.
    QStringList keys;
    for (const QString& key : m_settings->allKeys()) {
        const qsizetype slash = key.indexOf(QLatin1Char('/'));
        const QString list = slash > 0 ? key.left(slash) : QString();
        const QString shown =
            !list.isEmpty() && m_settings->contains(list + kListSize) ? list : key;
        if (!keys.contains(shown))
            keys.append(shown);
    }
    return keys;
}

void SettingsStore::synchronize()
{
    QMutexLocker lock(&m_mutex);
    m_settings->sync();
}
