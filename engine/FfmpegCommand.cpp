#include "engine/FfmpegCommand.h"

int FfmpegCommand::addInput(const QString& path, const QStringList& options)
{
    m_inputs.append({path, options});
    return int(m_inputs.size()) - 1;
}

void FfmpegCommand::addInputOptions(int input, const QStringList& options)
{
    if (input >= 0 && input < m_inputs.size())
        m_inputs[input].options += options;
}

void FfmpegCommand::addMap(const QString& specifier)
{
    m_maps.append(specifier);
}

void FfmpegCommand::addMaps(const QStringList& specifiers)
{
    m_maps += specifiers;
}

void FfmpegCommand::addMovieFlag(const QString& flag)
{
    const qsizetype at = m_output.indexOf(QStringLiteral("-movflags"));
    if (at >= 0 && at + 1 < m_output.size())
        m_output[at + 1] += flag;
    else
        m_output << QStringLiteral("-movflags") << flag;
}

bool FfmpegCommand::hasStreamOption(const QString& option) const
{
    return m_codecs.contains(option) || m_streams.contains(option);
}

QStringList FfmpegCommand::render() const
{
    QStringList args;
    for (const Input& input : m_inputs)
        args << input.options << QStringLiteral("-i") << input.path;
    args << m_global;
    for (const QString& map : m_maps)
        args << QStringLiteral("-map") << map;
    args << m_filters << m_codecs << m_streams;
    if (!m_progressFile.isEmpty())
        args << QStringLiteral("-progress") << m_progressFile;
    args << m_afterProgress << m_output << m_outputPath;
    return args;
}
