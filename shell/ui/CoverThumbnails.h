#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>

class MKVFileInfo;

// Small pictures of the movies' covers for the job list and the add panel,
// in place of the film icon: a picture beside the movie is read at once, one
// the movie carries is taken out by ffmpeg in the background (changed()
// tells when it is there). One for the whole program, kept by movie.
class CoverThumbnails final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CoverThumbnails)

public:
    static CoverThumbnails& instance();

    // The movie's cover at `size` pixels square at most; null while it is
    // being read, and for a movie without one (or with WriteTags off).
    QPixmap thumbnail(const MKVFileInfo& info, int size);

signals:
    void changed();

private:
    explicit CoverThumbnails(QObject* parent);
    void extract(const QString& moviePath, int stream);

    // By movie path; a null image once tried and failed.
    QHash<QString, QImage> m_images;
};
