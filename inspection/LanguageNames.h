#pragma once

#include <QHash>
#include <QString>

// Language names, case-folded, in English and in the language itself
// ("german", "deutsch", "日本語") mapped to the three-letter code ffmpeg
// prints (ISO 639-2, bibliographic where it has two). Generated from
// Debian's iso-codes by scripts/gen-language-names.py.
const QHash<QString, QString>& languageNameTable();
