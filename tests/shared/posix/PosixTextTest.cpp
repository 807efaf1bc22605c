// Text behaviour of the POSIX backend that Windows' own tables answer
// differently.
#include <gtest/gtest.h>

#include "shared/CaseFold.h"
#include "shared/CodePage.h"

namespace zv {
namespace {

// WAVE DASH has no place in code page 932; ICU's fallback writes it as the
// code page's tilde, two bytes.
TEST(PosixCodePage, WaveDashCountsAsItsBestFit) { EXPECT_EQ(AnsiByteCount(u"\u301C"), 2); }

// ICU folds outside the Basic Multilingual Plane too (Deseret).
TEST(PosixCaseFold, FoldsOutsideTheBmp) { EXPECT_EQ(FoldCase(u"\U00010400"), FoldCase(u"\U00010428")); }

}  // namespace
}  // namespace zv
