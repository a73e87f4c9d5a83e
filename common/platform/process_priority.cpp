#include "process_priority.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <cerrno>
#endif

namespace kestrix {

namespace {

// How much nicer than at start a busy process runs: enough to keep ahead of background work.
constexpr int kBusyBoost = 5;

#ifdef Q_OS_UNIX
int readNiceness()
{
    errno = 0;
    const int value = getpriority(PRIO_PROCESS, 0);
    return errno == 0 ? value : 0;
}

int startNiceness()
{
    static const int value = readNiceness();
    return value;
}
#endif

}  // namespace

int CurrentNiceness()
{
#ifdef Q_OS_UNIX
    return readNiceness();
#else
    return 0;
#endif
}

void SetBusyPriority(bool on)
{
#ifdef Q_OS_UNIX
    const int base = startNiceness();
    // Lowering the niceness needs a privilege; without it setpriority fails and the job runs as is.
    setpriority(PRIO_PROCESS, 0, on ? base - kBusyBoost : base);
#else
    Q_UNUSED(on);
#endif
}

}  // namespace kestrix
