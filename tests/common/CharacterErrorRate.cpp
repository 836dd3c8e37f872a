#include "CharacterErrorRate.h"

#include <algorithm>
#include <vector>

double characterErrorRate(const QString& expected, const QString& actual)
{
    const QString a = expected.simplified();
    const QString b = actual.simplified();
    if (a.isEmpty())
        return b.isEmpty() ? 0.0 : 1.0;
    // Levenshtein distance, one row at a time.
    std::vector<qsizetype> row(std::size_t(b.size()) + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[std::size_t(j)] = j;
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[std::size_t(j)];
            const qsizetype substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[std::size_t(j)] = std::min({above + 1, row[std::size_t(j - 1)] + 1, substitution});
            diagonal = above;
        }
    }
    return double(row.back()) / double(a.size());
}
