#pragma once
// File-system faults that tests play, where the system can produce them.
#include <QString>
#include <memory>

namespace fsfaults
{

// While it lives, files may not grow past `bytes` (a full disk); inactive
// where the system has no such limit.
class WriteLimit
{
public:
    // Whether this system can limit the size of files at all.
    static bool supported();
    explicit WriteLimit(long long bytes);
    ~WriteLimit();
    bool active() const { return m_active; }

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
    bool m_active = false;
};

// A named pipe at `path`; false where the system cannot make one.
bool makeFifo(const QString &path);

// Takes every permission off `path`; false when that would not stop this
// process reading it (root) or the system cannot.
bool makeUnreadable(const QString &path);

} // namespace fsfaults
