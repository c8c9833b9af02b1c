// The administrator test: whether this process may act as the system's administrator.
#pragma once

namespace narvo {

// True when the effective user is root or the user belongs to one of the groups that
// may become root (sudo, wheel or admin).
bool IsAdmin();

}  // namespace narvo
