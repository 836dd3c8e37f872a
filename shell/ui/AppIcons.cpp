#include "shell/ui/AppIcons.h"

#include "foundation/ToolLocator.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

QIcon AppIcons::named(const QString& name)
{
    for (const QString& suffix : {QStringLiteral(".png"), QStringLiteral(".svg")}) {
        const QString path = ToolLocator::resourcesDir() + "/images/" + name + suffix;
        if (QFileInfo::exists(path)) {
            QIcon icon(path);
            if (!icon.isNull() && !icon.availableSizes().isEmpty())
                return icon;
        }
    }
    QStyle* style = QApplication::style();
    if (name == QLatin1String("toolbar_pause"))
        return style->standardIcon(QStyle::SP_MediaPause);
    if (name == QLatin1String("toolbar_start"))
        return style->standardIcon(QStyle::SP_MediaPlay);
    if (name == QLatin1String("toolbar_add"))
        return style->standardIcon(QStyle::SP_FileDialogNewFolder);
    if (name == QLatin1String("toolbar_clean"))
        return style->standardIcon(QStyle::SP_DialogResetButton);
    return style->standardIcon(QStyle::SP_FileIcon);
}

QIcon AppIcons::application()
{
    return named(QStringLiteral("vantreo"));
}

QIcon AppIcons::movie()
{
    return named(QStringLiteral("movie"));
}
