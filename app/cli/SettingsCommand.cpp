#include "Commands.h"
#include "foundation/SettingsStore.h"
#include "shell/RegisteredDefaults.h"

#include <QRegularExpression>
#include <cstdio>

namespace {

QString valueText(const QVariant& value)
{
    if (!value.isValid())
        return QStringLiteral("0");
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList) {
        QStringList parts;
        for (const QVariant& v : value.toList())
            parts.append(v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray())
                                                             : v.toString());
        return QStringLiteral("(") + parts.join(QStringLiteral(", ")) + QStringLiteral(")");
    }
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

void printKeyList(FILE* to)
{
    printLine(to,
              CommandLine::tr("Known keys: %1").arg(allSettingsKeys().join(QStringLiteral(", "))));
}

} // namespace

int runSettingsCommand(const QStringList& args)
{
    SettingsStore& store = SettingsStore::instance();
    const QStringList keys = allSettingsKeys();
    if (args.isEmpty()) {
        for (const QString& key : keys) {
            const bool user = store.hasUserValue(key);
            const bool registered = store.registeredDefaults().contains(key);
            const QString mark = user         ? QString()
                                 : registered ? QStringLiteral("  ") + CommandLine::tr("(default)")
                                              : QStringLiteral("  ") + CommandLine::tr("(not set)");
            printLine(stdout, key + QStringLiteral(" = ") + valueText(store.value(key)) + mark);
        }
        printLine(stdout, CommandLine::tr("File: %1").arg(store.fileName()));
        return kExitOK;
    }
    if (args.size() > 2) {
        printLine(
            stderr,
            CommandLine::tr("Usage: %1").arg(QStringLiteral("vantreo-cli settings [KEY [VALUE]]")));
        return kExitUsage;
    }
    const QString& key = args.first();
    if (!keys.contains(key)) {
        printLine(stderr, CommandLine::tr("vantreo-cli settings: unknown key '%1'").arg(key));
        printKeyList(stderr);
        return kExitUsage;
    }
    if (args.size() == 1) {
        std::fprintf(stdout, "%s\n", qPrintable(valueText(store.value(key))));
        return kExitOK;
    }
    const QString& text = args.at(1);
    static const QRegularExpression integer(QStringLiteral("^[+-]?\\d{1,18}$"));
    if (integer.match(text).hasMatch())
        store.setValue(key, text.toLongLong());
    else
        store.setValue(key, text);
    store.synchronize();
    std::fprintf(stdout, "%s = %s\n", qPrintable(key), qPrintable(valueText(store.value(key))));
    return kExitOK;
}
