#include "engine/JobHost.h"

namespace {
JobHost* currentHost = nullptr;
}

JobHost* jobHost()
{
    return currentHost;
}
void setJobHost(JobHost* host)
{
    currentHost = host;
}
