#include "purge/SettingsRemover.h"

#include <vector>

#include "shared/SettingsStore.h"

namespace zv {

namespace {

std::vector<std::u16string> SplitNames(const std::u16string& joined, int count) {
    std::vector<std::u16string> names;
    std::size_t start = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t end = joined.find(u'\0', start);
        names.push_back(joined.substr(start, end == std::u16string::npos ? end : end - start));
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    return names;
}

}  // namespace

std::u16string SettingsRemover::KeyPath() { return SettingsKeyPath(kSettingsApp); }

std::u16string SettingsRemover::RemoveTree(clsRegOp& op, const std::u16string& path) {
    op.SubKey = path;
    const int count = op.EnumRegKeyName();
    for (const auto& child : SplitNames(op.EnumKeyName(), count)) {
        std::u16string status = RemoveTree(op, path + u'\\' + child);
        if (status != clsRegOp::kDone) return status;
    }
    op.SubKey = path;
    op.ValueName.clear();
    op.ValueData.clear();
    op.Flag = clsRegOp::kDelete;
    return op.RegistOperation();
}

SettingsRemover::Outcome SettingsRemover::Run() {
    if (messages_.Show(std::u16string(kConfirmText), kYesNo, std::u16string(kConfirmTitle)) != kYes)
        return Outcome::Declined;

    clsRegOp op;
    op.RootKey = kRootKey;
    op.SubKey = KeyPath();
    op.ValueName.clear();
    op.ValueData.clear();
    // Reading the key's default value tells whether the key is there at all.
    op.Flag = clsRegOp::kRead;
    if (op.RegistOperation() == clsRegOp::kNoSuchKey) {
        messages_.Show(std::u16string(kNothingText) + u"\r\n" + std::u16string(clsRegOp::kNoSuchKey), kOkOnly,
                       std::u16string(kConfirmTitle));
        return Outcome::NothingStored;
    }

    std::u16string status = RemoveTree(op, KeyPath());
    if (status != clsRegOp::kDone) {
        messages_.Show(std::u16string(kFailedText) + u"\r\n" + status, kOkOnly,
                       std::u16string(kConfirmTitle));
        return Outcome::Failed;
    }
    messages_.Show(std::u16string(kDoneText), kOkOnly, std::u16string(kDoneTitle));
    return Outcome::Removed;
}

}  // namespace zv
