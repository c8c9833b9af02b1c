// The administrator test over the effective user and its groups.
#include "platform/posix/Admin.h"

#include <grp.h>
#include <unistd.h>
#include <vector>

namespace narvo {

bool IsAdmin()
{
    if (::geteuid() == 0)
        return true;
    const int Count = ::getgroups(0, nullptr);
    std::vector<gid_t> Groups(Count > 0 ? static_cast<std::size_t>(Count) : 0);
    const int Got = Groups.empty() ? 0 : ::getgroups(Count, Groups.data());
    Groups.resize(Got > 0 ? static_cast<std::size_t>(Got) : 0);
    Groups.push_back(::getegid());
    for (const char* Name : {"sudo", "wheel", "admin"}) {
        // getgrnam's record is static; only the number is kept.
        const group* Entry = ::getgrnam(Name);
        if (!Entry)
            continue;
        for (gid_t G : Groups)
            if (G == Entry->gr_gid)
                return true;
    }
    return false;
}

}  // namespace narvo
