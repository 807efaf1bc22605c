// The helper class over a damaged POSIX registry file.
#include <gtest/gtest.h>

#include "TempConfigHome.h"
#include "purge/clsRegOp.h"

namespace {

TEST(ClsRegOp, DamagedRegistryIsAnErrorNotAnEmptyValue) {
    zv::test::TempConfigHome home;
    home.Write("HKEY_CURRENT_USER", "not a registry\n");
    zv::clsRegOp op;
    op.RootKey = 0x80000001u;  // HKEY_CURRENT_USER
    op.SubKey = u"Software";
    for (std::int16_t flag : {0, 1, 2, 3}) {
        op.Flag = flag;
        EXPECT_EQ(op.RegistOperation(), zv::clsRegOp::kFailed) << flag;
    }
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), "not a registry\n");
}

}  // namespace
