#include "foundation/Dispatch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <cmath>

namespace {

// The delay as whole milliseconds, rounded up so the block never runs early.
// NaN, zero and negative delays run at once; one beyond what a timer can wait
// (about 24.8 days), infinity included, waits that long, never converting an
// out-of-range value.
int delayMilliseconds(float delay)
{
    constexpr int kLongest = 2147483647;
    if (!(delay > 0.0f))
        return 0;
    const float nanoseconds = delay * 1000000000.0f;
    if (!(nanoseconds < float(kLongest) * 1e6f))
        return kLongest;
    const double ms = std::ceil(static_cast<double>(static_cast<long long>(nanoseconds)) / 1e6);
    return ms > double(kLongest) ? kLongest : static_cast<int>(ms);
}

} // namespace

bool isMainThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void dispatch_async_main(std::function<void()> block)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !block)
        return;
    QMetaObject::invokeMethod(app, std::move(block), Qt::QueuedConnection);
}

void dispatch_sync_main(std::function<void()> block)
{
    if (!block)
        return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || isMainThread()) {
        block();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(block), Qt::BlockingQueuedConnection);
}

void dispatch_after_main(std::function<void()> block, float delay)
{
    if (!block)
        return;
    const int ms = delayMilliseconds(delay);
    // The timer is started on the main thread, whichever thread asks.
    dispatch_async_main([block = std::move(block), ms]() mutable {
        QTimer::singleShot(ms, Qt::PreciseTimer, QCoreApplication::instance(), std::move(block));
    });
}

void dispatch_async_back(std::function<void()> block)
{
    if (block)
        QThreadPool::globalInstance()->start(std::move(block));
}

void dispatch_sync_back(std::function<void()> block)
{
    if (!block)
        return;
    QSemaphore done;
    QThreadPool::globalInstance()->start([&block, &done] {
        block();
        done.release();
    });
    done.acquire();
}

void dispatch_after_back(std::function<void()> block, float delay)
{
    if (!block)
        return;
    dispatch_after_main(
        [block = std::move(block)]() mutable { dispatch_async_back(std::move(block)); }, delay);
}
