// The helper class over a damaged POSIX registry file.
#include <gtest/gtest.h>

#include "TempConfigHome.h"
#include "purge/clsRegOp.h"

using zv::clsRegOp;
using zv::test::TempConfigHome;

namespace {

constexpr std::uint32_t kHkcu = 0x80000001u;
const std::u16string kFailed(clsRegOp::kFailed);

TEST(ClsRegOp, DamagedRegistryIsAnErrorNotAnEmptyValue) {
    TempConfigHome home;
    home.Write("HKEY_CURRENT_USER", "not a registry\n");
    clsRegOp op;
    op.RootKey = kHkcu;
    op.SubKey = u"Software";
    for (std::int16_t flag : {0, 1, 2, 3}) {
        op.Flag = flag;
        EXPECT_EQ(op.RegistOperation(), kFailed) << flag;
    }
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), "not a registry\n");
}

}  // namespace
