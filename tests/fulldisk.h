#pragma once
// A disk that fills up, without privileges: while a FullDisk lives, the
// kernel refuses to grow any file of this process past `bytes` (EFBIG), as a
// full file system refuses (ENOSPC). The signal the kernel would send is
// ignored, so the write itself reports the failure.
#include <csignal>
#include <sys/resource.h>

class FullDisk
{
public:
    explicit FullDisk(rlim_t bytes = 512)
    {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
    bool m_active = false;
};
