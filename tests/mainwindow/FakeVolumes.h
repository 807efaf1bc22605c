#pragma once
// Mounted volumes a test can change while the lists are open.

#include <vector>

#include "mainwindow/DriveModel.h"

namespace zv::test {

struct FakeVolumes {
    std::vector<VolumeInfo> list{{"/", "", "ext4", "/dev/sda1", true, true},
                                 {"/mnt/usb", "STICK", "vfat", "/dev/sdb1", true, true}};
    DriveModel::VolumeSource Source() {
        return [this] { return list; };
    }
    void Unmount(const QString& root) {
        std::erase_if(list, [&](const VolumeInfo& v) { return v.rootPath == root; });
    }
};

}  // namespace zv::test
