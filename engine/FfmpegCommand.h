#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An ffmpeg command line by sections, rendered once in ffmpeg's order: the
// inputs (each with the options that go before its "-i"), the global
// options, the stream mappings, bitstream filters, the codecs, the options
// of single streams (rates, filters, metadata, dispositions), the progress
// report, what follows it, and the output's options and path. Builders add
// to a section; nothing is inserted at a position.
class FfmpegCommand
{
public:
    // Appends an input: "-i PATH" with `options` before it. Answers its
    // number, as the mappings name it ("1:0").
    int addInput(const QString& path, const QStringList& options = {});
    // Puts options before the "-i" of an input already added.
    void addInputOptions(int input, const QStringList& options);
    int inputCount() const { return int(m_inputs.size()); }

    void addGlobal(const QStringList& options) { m_global += options; }
    void addMap(const QString& specifier);
    void addMaps(const QStringList& specifiers);
    void addBitstreamFilter(const QStringList& options) { m_filters += options; }
    void addCodec(const QStringList& options) { m_codecs += options; }
    void addStreamOptions(const QStringList& options) { m_streams += options; }
    void setProgressFile(const QString& path) { m_progressFile = path; }
    void addAfterProgress(const QStringList& options) { m_afterProgress += options; }
    void addOutputOption(const QStringList& options) { m_output += options; }
    // Adds a flag to the output's -movflags, or gives it one.
    void addMovieFlag(const QString& flag);
    void setOutputPath(const QString& path) { m_outputPath = path; }
    const QString& outputPath() const { return m_outputPath; }

    // The stream specifiers mapped, in order ("0:0", "1:0", ...).
    const QStringList& mappings() const { return m_maps; }
    // Whether a stream option (as the codecs and stream sections hold them,
    // "-c:a:1") is given.
    bool hasStreamOption(const QString& option) const;

    QStringList render() const;

private:
    struct Input
    {
        QString path;
        QStringList options;
    };
    QList<Input> m_inputs;
    QStringList m_global, m_maps, m_filters, m_codecs, m_streams, m_afterProgress, m_output;
    QString m_progressFile;
    QString m_outputPath;
};
