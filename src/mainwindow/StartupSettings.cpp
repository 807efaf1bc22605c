#include "StartupSettings.h"

#include "shared/SettingsStore.h"

namespace zv {

StartFolders StartupSettings::Load(const std::u16string& programFolder) {
    StartFolders result;
    long driveError = 0;
    long pathError = 0;
    result.drive = GetSetting(kSettingsApp, kSettingsSection, kSettingDrive, programFolder, &driveError);
    result.path = GetSetting(kSettingsApp, kSettingsSection, kSettingPath, programFolder, &pathError);
    result.error = driveError != 0 ? driveError : pathError;
    if (result.error != 0 || result.path.empty() || !files_.FolderExists(result.path)) {
        result.fellBack = result.path != programFolder || result.error != 0;
        result.drive = programFolder;
        result.path = programFolder;
    }
    return result;
}

long StartupSettings::Save(const std::u16string& drive, const std::u16string& path) {
    long rc = SaveSetting(kSettingsApp, kSettingsSection, kSettingDrive, drive);
    if (rc != 0) return rc;
    return SaveSetting(kSettingsApp, kSettingsSection, kSettingPath, path);
}

}  // namespace zv
