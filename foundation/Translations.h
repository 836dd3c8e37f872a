#pragma once

#include <QString>

// Loads the program's catalogue for the user's language (uiLanguages) from
// the resources folder's translations/ and Qt's own catalogue for the same
// language, whose texts the standard dialogs' buttons show. Call it once the
// application object exists and before any text is made. Returns the
// catalogue's language ("de", "fr"), or the empty string for English.
QString installTranslations();
