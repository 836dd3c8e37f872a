#pragma once

#include <QIcon>
#include <QString>

// The application's images: loaded from the resources folder's images/,
// with a drawn stand-in when a file is missing so the window never shows an
// empty button.
class AppIcons final
{
public:
    // "toolbar_pause", "toolbar_start", "vantreo", ...
    static QIcon named(const QString& name);
    static QIcon application();
    static QIcon movie();
};
