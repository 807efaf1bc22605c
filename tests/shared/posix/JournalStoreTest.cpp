// The journals of real runs on disk: in the user's state folder, one file per
// run, held while written, never reached through a link or a name that
// leaves the folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include "ScratchFolder.h"
#include "shared/JournalStore.h"
#include "shared/NativeName.h"

namespace zv {
namespace {

using test::ScopedEnv;
using test::ScratchFolder;

TEST(JournalStore, KeepsRunsInTheStateFolderAndHoldsAJournalWhileItIsWritten) {
    ScratchFolder s;
    ScopedEnv home("XDG_STATE_HOME", s.Path("state"));
    JournalStore& store = NativeJournalStore();
    const std::string folder = s.Path("state/zorvik/journal");
    EXPECT_EQ(store.Location(), FromNative(folder));

    auto second = store.Create("0000000002.journal");
    ASSERT_TRUE(second);
    EXPECT_FALSE(store.Create("0000000002.journal")) << "a taken name";
    EXPECT_TRUE(store.InUse("0000000002.journal"));
    ASSERT_TRUE(second->Write("plan\n") && second->Write("done 0\n") && second->Sync());
    EXPECT_EQ(store.Read("0000000002.journal"), "plan\ndone 0\n");
    second.reset();
    EXPECT_FALSE(store.InUse("0000000002.journal")) << "its writer is gone";
    EXPECT_TRUE(store.Append("0000000002.journal", "undone 3\n"));
    EXPECT_EQ(store.Read("0000000002.journal"), "plan\ndone 0\nundone 3\n");
    ASSERT_TRUE(store.Create("0000000001.journal"));
    EXPECT_EQ(store.List(), (std::vector<std::string>{"0000000001.journal", "0000000002.journal"}));

    // A link put in a journal's place is not followed: what it points at stays as it was.
    ScratchFolder::Write(s.Path("elsewhere"), "mine");
    ::symlink(s.Path("elsewhere").c_str(), (folder + "/0000000003.journal").c_str());
    EXPECT_FALSE(store.Read("0000000003.journal"));
    EXPECT_FALSE(store.Append("0000000003.journal", "undone 1\n"));
    EXPECT_EQ(ScratchFolder::Read(s.Path("elsewhere")), "mine");
    // Names that would leave the folder, or hide in it.
    for (const std::string name : {"", ".", "..", "../elsewhere", "a/b", ".0000000004.journal"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(store.Create(name));
        EXPECT_FALSE(store.Read(name));
        EXPECT_FALSE(store.Append(name, "x\n"));
        EXPECT_FALSE(store.Remove(name));
    }
    EXPECT_TRUE(store.Remove("0000000002.journal"));
    EXPECT_EQ(store.List(), (std::vector<std::string>{"0000000001.journal", "0000000003.journal"}));

    // No state folder, no journal: a file where the folder would be made.
    ScratchFolder::Write(s.Path("file"), "");
    ScopedEnv noFolder("XDG_STATE_HOME", s.Path("file"));
    EXPECT_FALSE(store.Create("0000000001.journal"));
    EXPECT_TRUE(store.List().empty());
}

}  // namespace
}  // namespace zv
