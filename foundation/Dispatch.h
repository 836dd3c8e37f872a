#pragma once

#include <functional>

// Moving work between the main thread (the application's event loop) and the
// background (Qt's global thread pool).
void dispatch_async_main(std::function<void()> block);
// Runs the block on the main thread and waits; runs it at once when called
// on the main thread (waiting there would never end).
void dispatch_sync_main(std::function<void()> block);
// Runs the block on the main thread no earlier than `delay` seconds from now.
void dispatch_after_main(std::function<void()> block, float delay);
void dispatch_async_back(std::function<void()> block);
void dispatch_sync_back(std::function<void()> block);
void dispatch_after_back(std::function<void()> block, float delay);

bool isMainThread();
