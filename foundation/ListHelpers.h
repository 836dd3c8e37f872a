#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <algorithm>
#include <functional>
#include <optional>

// List helpers over Qt's value types. Qt containers are values, so the
// "mutable" and "immutable" copies are plain copies.

template <typename T> bool empty(const QList<T>& list)
{
    return list.isEmpty();
}

template <typename T, typename F> qint64 collect(const QList<T>& list, F&& block)
{
    qint64 sum = 0;
    for (const T& element : list)
        sum += block(element);
    return sum;
}

QString joined(const QStringList& list, const QString& separator);
QString joined(const QVariantList& list, const QString& separator);

template <typename T>
QList<T> arrayByRemovingObjectsAtIndexes(const QList<T>& list, const QSet<qsizetype>& indexes)
{
    QList<T> out;
    out.reserve(list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        if (!indexes.contains(i))
            out.append(list[i]);
    return out;
}

template <typename T> std::optional<T> safeObjectAtIndex(const QList<T>& list, qsizetype index)
{
    if (index < 0 || index >= list.size())
        return std::nullopt;
    return list[index];
}

// A small predicate language for lists of strings:
// "self OP[flags] %@" with OP one of BEGINSWITH, ENDSWITH, CONTAINS, LIKE, ==,
// flags c (ignore case) and d (ignore diacritics). Absent for a predicate it
// cannot read.
std::optional<QStringList>
filteredUsingPredicateString(const QStringList& list, const QString& format, const QString& value);

template <typename T> QList<T> mutableObject(const QList<T>& list)
{
    return list;
}
template <typename T> QList<T> immutableObject(const QList<T>& list)
{
    return list;
}

template <typename T> QSet<T> set(const QList<T>& list)
{
    return QSet<T>(list.begin(), list.end());
}

template <typename T> QList<T> arrayByAddingNewObject(const QList<T>& list, const T& object)
{
    if (list.contains(object))
        return list;
    QList<T> out = list;
    out.append(object);
    return out;
}

// Identity for pointers, equality for values.
template <typename T>
QList<T> arrayByRemovingObjectIdenticalTo(const QList<T>& list, const T& object)
{
    QList<T> out = list;
    out.removeAll(object);
    return out;
}
template <typename T>
QList<T> arrayByRemovingObjectsIdenticalTo(const QList<T>& list, const QList<T>& objects)
{
    QList<T> out;
    for (const T& e : list)
        if (!objects.contains(e))
            out.append(e);
    return out;
}

template <typename T> QList<T> arrayByRemovingObjectAtIndex(const QList<T>& list, qsizetype index)
{
    QList<T> out = list;
    if (index >= 0 && index < out.size())
        out.removeAt(index);
    return out;
}

template <typename T>
QList<T> arrayByReplacingObject(const QList<T>& list, const T& oldObject, const T& newObject)
{
    QList<T> out = list;
    const qsizetype i = out.indexOf(oldObject);
    if (i >= 0)
        out[i] = newObject;
    return out;
}

QVariantList arrayOfValuesForKey(const QList<QVariantMap>& list, const QString& key);
QString safeStringAtIndex(const QStringList& list, qsizetype index);
bool containsDictionaryWithKey(const QList<QVariantMap>& list, const QString& key,
                               const QVariant& value);
QList<QVariantMap> sortedArrayByKey(const QList<QVariantMap>& list, const QString& key,
                                    bool ascending = true);

template <typename T, typename F> auto mapped(const QList<T>& list, F&& block)
{
    using R = typename std::invoke_result_t<F, const T&>::value_type; // block answers optional
    QList<R> out;
    for (const T& e : list)
        if (auto r = block(e))
            out.append(*r);
    return out;
}

template <typename T, typename F> QList<T> filtered(const QList<T>& list, F&& block)
{
    QList<T> out;
    for (const T& e : list)
        if (block(e))
            out.append(e);
    return out;
}

template <typename T, typename F> void apply(const QList<T>& list, F&& block)
{
    for (const T& e : list)
        block(e);
}

template <typename T> void addObjectSafely(QList<T>& list, const std::optional<T>& object)
{
    if (object)
        list.append(*object);
}

QVariantMap dictionaryByAddingValue(const QVariantMap& map, const QVariant& value,
                                    const QString& key);
