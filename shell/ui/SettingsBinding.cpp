#include "shell/ui/SettingsBinding.h"

#include "foundation/SettingsAccess.h"

#include <QCheckBox>
#include <QComboBox>

void SettingsBinding::bindCheckBox(QCheckBox* box, const char* key)
{
    const QString name = QString::fromLatin1(key);
    box->setChecked(defaultInt(name) != 0);
    QObject::connect(box, &QCheckBox::toggled, box,
                     [name](bool checked) { setDefaultInt(name, checked ? 1 : 0); });
}

void SettingsBinding::bindComboBox(QComboBox* combo, const char* key, const QList<int>& values)
{
    const QString name = QString::fromLatin1(key);
    combo->setCurrentIndex(indexOfValue(values, defaultInt(name)));
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [name, values](int index) {
        if (index >= 0 && index < values.size())
            setDefaultInt(name, values.at(index));
    });
}

void SettingsBinding::bindComboBox(QComboBox* combo, const char* key)
{
    QList<int> values;
    for (int i = 0; i < combo->count(); ++i)
        values.append(i);
    bindComboBox(combo, key, values);
}

int SettingsBinding::indexOfValue(const QList<int>& values, qint64 value)
{
    const qsizetype index = values.indexOf(int(value));
    return index < 0 ? 0 : int(index);
}
