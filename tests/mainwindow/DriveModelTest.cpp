#include <gtest/gtest.h>

#include "FakeVolumes.h"
#include "QtPrinters.h"
#include "mainwindow/DriveModel.h"

namespace zv {
namespace {

using test::FakeVolumes;

struct VolumeCase {
    const char* root;
    const char* type;
    bool ready;
    bool listed;
};

class DriveModelVolume : public ::testing::TestWithParam<VolumeCase> {};

TEST_P(DriveModelVolume, ListsOnlyVolumesAUserWouldPick) {
    const VolumeCase& c = GetParam();
    VolumeInfo v{QString::fromUtf8(c.root), {}, c.type, "/dev/x", true, c.ready};
    EXPECT_EQ(DriveModel::IsUserVolume(v), c.listed) << c.root << " " << c.type;
}

INSTANTIATE_TEST_SUITE_P(
    Mounts, DriveModelVolume,
    ::testing::Values(VolumeCase{"/run/media/u/STICK", "exfat", true, true},
                      VolumeCase{"/bootstrap", "ext4", true, true},  // not below /boot
                      VolumeCase{"/mnt/data", "ext4", false, false}, VolumeCase{"/proc", "proc", true, false},
                      VolumeCase{"/dev/shm", "tmpfs", true, false},
                      VolumeCase{"/boot/efi", "vfat", true, false},
                      VolumeCase{"/mnt/image", "squashfs", true, false},
                      VolumeCase{"/var/lib/docker/overlay2/x/merged", "overlay", true, false},
                      VolumeCase{"/run/user/1000/doc", "fuse.portal", true, false}));

FakeVolumes TypicalMachine() {
    FakeVolumes m;
    m.list = {{"/", "", "ext4", "/dev/sda1", true, true},
              {"/proc", "", "proc", "proc", true, true},
              {"/mnt/data", "", "ext4", "/dev/sdb1", true, true},
              {"/media/u/USB", "STICK", "vfat", "/dev/sdc1", true, true},
              {"/mnt/data", "", "ext4", "/dev/sdd1", true, true},  // mounted over
              {"/snap/x/1", "", "squashfs", "/dev/loop0", true, true}};
    return m;
}

QStringList Texts(const DriveModel& m) {
    QStringList out;
    for (int i = 0; i < m.Count(); ++i) out << m.At(i).text;
    return out;
}

TEST(DriveModelTest, HomeThenRootThenMountsInOrderOnce) {
    FakeVolumes machine = TypicalMachine();
    DriveModel model("/home/u", machine.Source());
    EXPECT_EQ(Texts(model), (QStringList{"/home/u", "/", "/media/u/USB [STICK]", "/mnt/data"}));
}

struct FindCase {
    const char* given;
    const char* root;  // "" when no drive is named
};

class DriveModelFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(DriveModelFind, NamesTheDriveHoldingThePath) {
    FakeVolumes machine = TypicalMachine();
    DriveModel model("/home/u", machine.Source());
    const int i = model.Find(QString::fromUtf8(GetParam().given));
    EXPECT_EQ(i < 0 ? QString() : model.At(i).root, QString::fromUtf8(GetParam().root)) << GetParam().given;
}

INSTANTIATE_TEST_SUITE_P(Paths, DriveModelFind,
                         ::testing::Values(FindCase{"/home/u/docs/", "/home/u"}, FindCase{"/home/u2", "/"},
                                           FindCase{"/media/u/USBX", "/"},
                                           FindCase{"/media/u/USB [RENAMED]", "/media/u/USB"},
                                           FindCase{"/mnt/data/../data/x", "/mnt/data"},
                                           FindCase{"relative/path", ""}));

TEST(DriveModelTest, AVolumeUnmountedSinceListingIsNotReady) {
    FakeVolumes machine = TypicalMachine();
    DriveModel model("/home/u", machine.Source(), [](const QString&) { return qint64(42); });
    const int usb = model.Find("/media/u/USB");
    EXPECT_TRUE(model.IsReady(usb));
    EXPECT_EQ(model.FreeBytes(usb), 42);
    machine.Unmount("/media/u/USB");
    EXPECT_FALSE(model.IsReady(usb));
    EXPECT_EQ(model.FreeBytes(usb), -1);  // not the figure of the volume below it
    EXPECT_TRUE(model.IsReady(model.Find("/")));
    EXPECT_TRUE(model.IsReady(model.Find("/home/u")));
}

struct SpaceCase {
    qint64 bytes;
    const char* text;
};

class DriveModelFreeSpace : public ::testing::TestWithParam<SpaceCase> {};

TEST_P(DriveModelFreeSpace, ShowsWholeMegabytesWithThousandsSeparators) {
    EXPECT_EQ(DriveModel::FreeSpaceText(GetParam().bytes).toStdString(), GetParam().text);
}

constexpr qint64 kMB = 1024 * 1024;
INSTANTIATE_TEST_SUITE_P(Figures, DriveModelFreeSpace,
                         ::testing::Values(SpaceCase{1572864000, "空き容量: 1,500MB"},
                                           SpaceCase{kMB / 2 - 1, "空き容量: MB"},
                                           SpaceCase{kMB / 2, "空き容量: 1MB"},
                                           SpaceCase{1000 * kMB, "空き容量: 1,000MB"},
                                           SpaceCase{3 * 1024 * kMB, "空き容量: 3,072MB"},  // beyond 32 bits
                                           SpaceCase{-1, "空き容量: 不明"}));

}  // namespace
}  // namespace zv
