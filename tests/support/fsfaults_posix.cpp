#include "support/fsfaults.h"

#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fsfaults
{

struct WriteLimit::Saved {
    rlimit limit{};
    void (*handler)(int) = SIG_DFL;
};

bool WriteLimit::supported()
{
    return true;
}

WriteLimit::WriteLimit(long long bytes) : m_saved(std::make_unique<Saved>())
{
    if (getrlimit(RLIMIT_FSIZE, &m_saved->limit) != 0)
        return;
    m_saved->handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = m_saved->limit;
    small.rlim_cur = rlim_t(bytes);
    m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
    if (!m_active)
        std::signal(SIGXFSZ, m_saved->handler);
}

WriteLimit::~WriteLimit()
{
    if (!m_active)
        return;
    setrlimit(RLIMIT_FSIZE, &m_saved->limit);
    std::signal(SIGXFSZ, m_saved->handler);
}

bool permissionsBind()
{
    return ::geteuid() != 0;
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool makeUnreadable(const QString &path)
{
    return ::geteuid() != 0 && ::chmod(QFile::encodeName(path).constData(), 0) == 0;
}

} // namespace fsfaults
