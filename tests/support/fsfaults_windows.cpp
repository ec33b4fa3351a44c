#include "support/fsfaults.h"

// Windows has neither a file size limit per process, nor named pipes in the
// file system, nor permission bits that the test could take off.
namespace fsfaults
{

struct WriteLimit::Saved {
};

bool WriteLimit::supported()
{
    return false;
}

WriteLimit::WriteLimit(long long) {}
WriteLimit::~WriteLimit() = default;

bool permissionsBind()
{
    return false;
}

bool makeFifo(const QString &)
{
    return false;
}

bool makeUnreadable(const QString &)
{
    return false;
}

} // namespace fsfaults
