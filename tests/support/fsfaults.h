#pragma once
// File-system faults that tests play, where the system can produce them.
#include <QString>
#include <memory>

namespace fsfaults
{

// Why a test that needs a full disk was skipped.
inline constexpr const char *kNoWriteLimit =
    "no per-process file size limit here to play a full disk with";

// A disk that fills up, without privileges: while a WriteLimit lives, the
// system refuses to grow any file of this process past `bytes`, as a full
// file system refuses. Inactive where the system has no such limit.
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

// Whether taking the write permission off a folder stops this process
// writing there: not for root, and not on Windows, where access lists decide.
bool permissionsBind();

// A named pipe at `path`; false where the system cannot make one.
bool makeFifo(const QString &path);

// Takes every permission off `path`; false when that would not stop this
// process reading it (root) or the system cannot.
bool makeUnreadable(const QString &path);

} // namespace fsfaults
