// Measures what reading a finished MP4 back costs a job: the box walk and the
// check a job makes before it may call itself Finished, on a file that was
// just written (its headers are in the page cache, as after a conversion).
//
//   vantreo-verify-bench MP4_FILE [RUNS]
//
// Prints the median time of RUNS checks (default 5) in milliseconds, and the
// problem found (none for a good file).

#include "engine/OutputVerification.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: vantreo-verify-bench MP4_FILE [RUNS]\n");
        return 2;
    }
    const int runs = qMax(1, args.value(1, QStringLiteral("5")).toInt());
    std::vector<double> ms;
    QString problem;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const std::optional<WrittenMovie> written = readWrittenMovie(args.at(0));
        ExpectedOutput expected;
        expected.runtimeSeconds = written ? std::optional<double>(written->seconds) : std::nullopt;
        problem = outputProblem(expected, written);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.1f ms (median of %d), %s\n", ms[ms.size() / 2], runs,
                problem.isEmpty() ? "no problem found" : qPrintable(problem));
    return 0;
}
