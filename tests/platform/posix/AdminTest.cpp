// The administrator test agrees with the process's effective user.
#include "platform/posix/Admin.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace narvo {
namespace {

TEST(Admin, RootIsAdministrator)
{
    if (::geteuid() == 0)
        EXPECT_TRUE(IsAdmin());
    else
        GTEST_SKIP() << "not root: the answer depends on the user's groups";
}

}  // namespace
}  // namespace narvo
