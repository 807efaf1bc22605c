// The pipeline as both run buttons use it, and the test run on top of it.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

const std::u16string kChecking = u"チェック中";
const std::u16string kConverting = u"変換中";

// A job that passes: numbering two files into an empty destination.
void ValidJob(EngineRig& rig) {
    rig.files.AddFile(OsPath(u"/src"), u"a.jpg");
    rig.files.AddFile(OsPath(u"/src"), u"b.jpg");
    rig.settings.SelectAll({u"a.jpg", u"b.jpg"});
    rig.settings.SetText("A_Dir", OsPath(u"/dst"));
    rig.settings.SetText("Txt_B_text", u"IMG_");
    rig.settings.SetText("Lbl_keta", u"3");
}

TEST(Pipeline, SuccessLeavesTheProgressWindowOpenForTheCaller) {
    EngineRig rig;
    ValidJob(rig);
    EXPECT_EQ(rig.engine.RunConversion(), kGoOn);
    EXPECT_TRUE(rig.progress.IsOpen());
    EXPECT_EQ(rig.progress.phases, (std::vector<std::u16string>{kChecking, kConverting, kChecking}));
    EXPECT_TRUE(rig.view.results.empty());  // only the test run fills the result list
}

TEST(TestRun, ShowsTheNewNamesAndClosesTheProgressWindow) {
    EngineRig rig;
    ValidJob(rig);
    rig.settings.files.insert(rig.settings.files.begin() + 1, {u"skip.jpg", false});
    EXPECT_EQ(rig.engine.TestRun(), kGoOn);
    EXPECT_EQ(rig.view.results, (std::vector<std::u16string>{u"IMG_001.jpg", u"IMG_002.jpg"}));
    EXPECT_EQ(rig.view.results, rig.engine.Table().newName);
    EXPECT_EQ(rig.view.clears, 1);
    EXPECT_EQ(rig.view.refreshes, 1);
    EXPECT_EQ(rig.progress.log.front(), u"open");
    EXPECT_EQ(rig.progress.log.back(), u"close");
    EXPECT_FALSE(rig.progress.IsOpen());
    EXPECT_TRUE(rig.messages.shown.empty());
    // Nothing on disk changed.
    EXPECT_TRUE(rig.files.log.empty());
    // Events: eleven forbidden characters, three list rows, and per selected row
    // the system check, the names, the duplicate check and the result list.
    EXPECT_EQ(rig.events.count, 11 + 3 + 4 * 2);
}

TEST(TestRun, NothingSelectedShowsAnEmptyList) {
    EngineRig rig;
    rig.settings.files = {{u"a.jpg", false}};
    EXPECT_EQ(rig.engine.TestRun(), kGoOn);
    EXPECT_TRUE(rig.view.results.empty());
    EXPECT_TRUE(rig.engine.Table().selected.empty());
    EXPECT_FALSE(rig.progress.IsOpen());
}

TEST(TestRun, BothModeBoxesCheckedRunsAppendMode) {
    EngineRig rig;
    ValidJob(rig);
    rig.settings.SetValue("Chk_syori(0)", 1);
    rig.settings.SetValue("Chk_syori(1)", 1);
    rig.settings.SetText("Txt_B_text", u"x");
    rig.settings.SetText("Txt_A_text", u"y");
    EXPECT_EQ(rig.engine.TestRun(), kGoOn);
    EXPECT_EQ(rig.view.results, (std::vector<std::u16string>{u"xay.jpg", u"xby.jpg"}));
}

TEST(TestRun, StopAfterASuccessfulRunEmptiesTheResults) {
    EngineRig rig;
    ValidJob(rig);
    ASSERT_EQ(rig.engine.TestRun(), kGoOn);
    rig.files.AddFile(OsPath(u"/dst"), u"IMG_001.jpg");
    EXPECT_EQ(rig.engine.TestRun(), kStop);
    EXPECT_TRUE(rig.view.results.empty());
    EXPECT_EQ(rig.view.clears, 2);
}


// The windows stay responsive during a run; a second click meanwhile must not
// rebuild the table under the running one or close its progress window.
TEST(TestRun, ASecondRunStartedMeanwhileIsRefused) {
    EngineRig rig;
    ValidJob(rig);
    int nested = 0;
    StepFlag nestedFlag = kGoOn;
    rig.events.onEvents = [&] {
        if (nested++ == 0) {
            EXPECT_TRUE(rig.engine.Running());
            nestedFlag = rig.engine.TestRun();
            EXPECT_TRUE(rig.progress.IsOpen());
        }
    };
    EXPECT_EQ(rig.engine.TestRun(), kGoOn);
    EXPECT_EQ(nestedFlag, kStop);
    EXPECT_EQ(rig.view.clears, 1);
    EXPECT_EQ(rig.view.results, (std::vector<std::u16string>{u"IMG_001.jpg", u"IMG_002.jpg"}));
    EXPECT_FALSE(rig.engine.Running());
    // A later click runs normally again.
    rig.events.onEvents = nullptr;
    EXPECT_EQ(rig.engine.TestRun(), kGoOn);
}

}  // namespace
}  // namespace zv::test
