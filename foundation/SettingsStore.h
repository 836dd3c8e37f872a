#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QSettings;

// The per-user store of named values: an INI file under the user's config
// folder (or the file named by VANTREO_SETTINGS_FILE, or one given with
// useFile), plus an in-memory table of registered defaults that answer for
// unset keys and are never written to the file. Thread-safe.
class SettingsStore final
{
public:
    static SettingsStore& instance();

    // Points the store at another file (tests, the command line's --settings).
    void useFile(const QString& path);
    QString fileName() const;

    // Registers defaults; later registrations add to and replace earlier ones.
    void registerDefaults(const QVariantHash& defaults);
    QVariantHash registeredDefaults() const;

    // A value for this run only: answers before the file and is never
    // written (the command line's --style and --m4v).
    void setRunOverride(const QString& key, const QVariant& value);

    // The run's override, else the user's value, else the registered default, else an invalid
    // QVariant.
    QVariant value(const QString& key) const;
    bool hasUserValue(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void removeValue(const QString& key);
    QStringList userKeys() const;
    // Writes pending changes to the file and reads changes made by others.
    void synchronize();

private:
    SettingsStore();
    ~SettingsStore();
    void openLocked(const QString& path);

    mutable QMutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    QVariantHash m_defaults;
    QVariantHash m_overrides;
};
