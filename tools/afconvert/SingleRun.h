#pragma once

#include "afconvert/AfconvertArgs.h"

// The encoding as one ffmpeg run, a child of afconvert (no shell) reading
// the input itself: answers ffmpeg's exit status (128 + signal when it was
// killed, 127 when it could not run). SIGTERM, SIGINT and SIGHUP sent to
// afconvert meanwhile are passed on to ffmpeg, and ffmpeg gets SIGTERM should
// afconvert die without passing it on.
int runSingleEncoding(const AfconvertArgs& args);
