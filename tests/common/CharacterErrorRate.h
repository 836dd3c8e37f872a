#pragma once

#include <QString>

// The share of characters read wrong: the edit distance (insertions,
// deletions, substitutions) between the two texts over the expected text's
// length, each run of white space (line ends too) counted as one space and
// leading and trailing space ignored. 0 for a perfect read; an empty
// expected text gives 0 when the actual one is empty too, else 1.
double characterErrorRate(const QString& expected, const QString& actual);
