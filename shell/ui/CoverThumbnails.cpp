#include "shell/ui/CoverThumbnails.h"

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ToolLocator.h"
#include "inspection/CoverChoice.h"
#include "inspection/MKVFileInfo.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QProcess>

namespace {

// Kept small: the list shows 32-pixel icons, the panel 64.
constexpr int kKeptSize = 128;

QImage keptImage(const QImage& image)
{
    return image.isNull()
               ? image
               : image.scaled(kKeptSize, kKeptSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

CoverThumbnails& CoverThumbnails::instance()
{
    // Owned by the application, so it goes before the widgets' toolkit.
    static CoverThumbnails* covers = new CoverThumbnails(QCoreApplication::instance());
    return *covers;
}

CoverThumbnails::CoverThumbnails(QObject* parent) : QObject(parent) {}

QPixmap CoverThumbnails::thumbnail(const MKVFileInfo& info, int size)
{
    if (defaultInt(kWriteTagsKey) == 0)
        return {};
    const QString movie = info.fileURL().toLocalFile();
    auto known = m_images.constFind(movie);
    if (known == m_images.constEnd()) {
        QString note;
        const std::optional<int> stream = coverPictureStream(info.attachedPictures(), note);
        if (stream) {
            m_images.insert(movie, QImage());
            extract(movie, *stream);
            return {};
        }
        QImageReader reader(info.coverFile());
        known = m_images.insert(movie,
                                info.coverFile().isEmpty() ? QImage() : keptImage(reader.read()));
    }
    if (known->isNull())
        return {};
    return QPixmap::fromImage(
        known->scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void CoverThumbnails::extract(const QString& moviePath, int stream)
{
    const QString ffmpeg = ToolLocator::find(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return;
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::finished, this, [this, process, moviePath] {
        const QByteArray bytes = process->readAllStandardOutput();
        process->deleteLater();
        const QImage image = keptImage(QImage::fromData(bytes));
        if (image.isNull())
            return;
        m_images.insert(moviePath, image);
        emit changed();
    });
    // "-i" with the path as it is: the intake hands over absolute paths.
    process->start(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                            moviePath, QStringLiteral("-map"), QStringLiteral("0:%1").arg(stream),
                            QStringLiteral("-c"), QStringLiteral("copy"),
                            QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"),
                            QStringLiteral("image2pipe"), QStringLiteral("-")});
}
