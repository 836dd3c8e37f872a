#include "foundation/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>

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
// Lists are therefore kept wrapped in a one-entry map, which QSettings writes
// whole with the type of every element, and unwrapped when read.
const QString kListTag = QStringLiteral("@list");

QVariant wrapForFile(const QVariant& value)
{
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
        return QVariantMap{{kListTag, value.toList()}};
    return value;
}

QVariant unwrapFromFile(const QVariant& value)
{
    if (value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        if (map.size() == 1 && map.contains(kListTag))
            return map.value(kListTag).toList();
    }
    return value;
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
        return unwrapFromFile(m_settings->value(key));
    return m_defaults.value(key);
}

bool SettingsStore::hasUserValue(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    return m_settings->contains(key);
}

void SettingsStore::setValue(const QString& key, const QVariant& value)
{
    QMutexLocker lock(&m_mutex);
    m_settings->setValue(key, wrapForFile(value));
}

void SettingsStore::removeValue(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    m_settings->remove(key);
}

QStringList SettingsStore::userKeys() const
{
    QMutexLocker lock(&m_mutex);
    return m_settings->allKeys();
}

void SettingsStore::synchronize()
{
    QMutexLocker lock(&m_mutex);
    m_settings->sync();
}
