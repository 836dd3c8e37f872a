#include "shell/JobNotices.h"

#include "engine/ConversionJob.h"
#include "engine/JobEnding.h"
#include "foundation/Alerts.h"

void showJobNotice(const ConversionJob& job, const JobNotice& notice)
{
    const int answer =
        alert(notice.kind, notice.title, notice.text, notice.defaultButton, notice.alternateButton);
    if (notice.offersSupportMail && answer == kAlertDefault)
        offerSupportMail(job.arguments(), job.jobOutput());
}
