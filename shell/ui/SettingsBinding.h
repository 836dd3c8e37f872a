#pragma once

#include <QList>
#include <QString>

class QCheckBox;
class QComboBox;

// Ties a control to a settings key: the control shows the stored value and
// writes its key at once when the user changes it, so the next decision that
// reads the setting sees the change.
class SettingsBinding final
{
public:
    static void bindCheckBox(QCheckBox* box, const char* key);
    // Item i of the combo stands for values[i]; an unknown stored value
    // shows the first item.
    static void bindComboBox(QComboBox* combo, const char* key, const QList<int>& values);
    static void bindComboBox(QComboBox* combo, const char* key);

    // The combo index of a stored value (0 when it is not in the list).
    static int indexOfValue(const QList<int>& values, qint64 value);
};
