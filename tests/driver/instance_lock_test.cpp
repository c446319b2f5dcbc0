// One setup or uninstaller at a time, and an object of the lock's name that somebody without
// administrator rights made first.
#include "driver/instance_lock.h"
#include "tests/support/test_world.h"

namespace {

class InstanceLockTest : public TestWorld {};

const char kLockName[] = "Global\\NetQuilloSetupRunning";

} // namespace

TEST_F(InstanceLockTest, ASecondRunSeesTheFirstUntilItEnds) {
    {
        InstanceLock first;
        EXPECT_FALSE(first.HeldElsewhere());
        InstanceLock second;
        EXPECT_TRUE(second.HeldElsewhere());
    }
    InstanceLock later;
    EXPECT_FALSE(later.HeldElsewhere()) << "the lock goes with the run that held it";
}

TEST_F(InstanceLockTest, AnotherUsersObjectOfTheNameIsNoSetup) {
    // Another user's program: its own SID as owner, once letting everybody open the object
    // and once letting nobody but SYSTEM, so that setup cannot open it at all.
    for (const char* descriptor : {"O:S-1-5-21-1004336348-1177238915-682003330-1001D:(A;;GA;;;WD)",
                                   "O:S-1-5-21-1004336348-1177238915-682003330-1001D:(A;;GA;;;SY)"}) {
        SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr));
        HANDLE squatter = CreateMutexA(&attributes, FALSE, kLockName);
        LocalFree(attributes.lpSecurityDescriptor);
        ASSERT_NE(nullptr, squatter);
        {
            InstanceLock lock;
            EXPECT_FALSE(lock.HeldElsewhere()) << descriptor;
        }
        CloseHandle(squatter);
    }
}
