#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

// Settings read and written by key, at the moment of use, through the
// settings store. A value of the wrong type reads like an unset one.

qint64 defaultInt(const QString& key);
void setDefaultInt(const QString& key, qint64 value);
QVariant defaultObject(const QString& key);
void setDefaultObject(const QString& key, const QVariant& value);
// Absent when unset or not a list.
std::optional<QVariantList> defaultArray(const QString& key);
void setDefaultArray(const QString& key, const QVariantList& value);
std::optional<QVariantMap> defaultDict(const QString& key);
void setDefaultDict(const QString& key, const QVariantMap& value);
std::optional<QString> defaultString(const QString& key);
void setDefaultString(const QString& key, const QString& value);
std::optional<QUrl> defaultURL(const QString& key);
void setDefaultURL(const QString& key, const QUrl& value);
float defaultFloat(const QString& key);
void setDefaultFloat(const QString& key, float value);

// Convenience for the lists the program keeps.
QStringList defaultStringList(const QString& key);
QList<QByteArray> defaultDataList(const QString& key);
void synchronize();
