#pragma once

#include <QString>

// The alert functions take English: the titles and buttons that decide an
// alert's kind and answer ("Warning", "Conversion Failed", "OK") and the
// fixed messages of the layers that raise them. The presenters show them
// through this lookup, in the user's language; any other text (one already
// translated, or made with values in it) comes back unchanged.
QString alertText(const QString& english);
