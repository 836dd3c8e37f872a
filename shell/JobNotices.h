#pragma once

#include "engine/JobNotice.h"

class ConversionJob;

// Shows what a job has to tell as an alert (the desktop's dialog, the
// command line's printed lines); for a failed job's explanation, the default
// button opens the mail to support with the run's command line and output.
void showJobNotice(const ConversionJob& job, const JobNotice& notice);
