#pragma once
// Per-user application settings: texts addressed by application, section and
// key, kept in the registry below
// HKEY_CURRENT_USER\Software\<kSettingsRoot>\<application>\<section>.
// ZVNUM stores its source drive and folder here; ZVPURGE removes the
// application's key again, so both take the path from this header.

#include <string>
#include <string_view>

namespace zv {

// The folder below Software that holds one key per application.
inline constexpr std::u16string_view kSettingsRoot = u"VB and VBA Program Settings";

// Zorvik's own names.
inline constexpr std::u16string_view kSettingsApp = u"Zorvik";
inline constexpr std::u16string_view kSettingsSection = u"Setting";
inline constexpr std::u16string_view kSettingDrive = u"DRIVE";
inline constexpr std::u16string_view kSettingPath = u"PATH";

// Path of an application's key (or of one of its sections) below
// HKEY_CURRENT_USER, e.g. Software\VB and VBA Program Settings\Zorvik.
std::u16string SettingsKeyPath(std::u16string_view app, std::u16string_view section = {});

// The stored text, or fallback when the application, section or key is not
// there. error (optional) receives the registry's error number: 0 also when
// the fallback was used because nothing is stored, something else when the
// store could not be read (a damaged registry file, for one).
std::u16string GetSetting(std::u16string_view app, std::u16string_view section, std::u16string_view key,
                          std::u16string_view fallback, long* error = nullptr);

// Stores a text, creating the application's and section's keys as needed.
// Answers the registry's error number (0 on success).
long SaveSetting(std::u16string_view app, std::u16string_view section, std::u16string_view key,
                 std::u16string_view value);

// When the store cannot be read because it is damaged: keeps the damaged
// store under another name (keptAs, optional) and starts an empty one.
// Answers 0 on success or when nothing was damaged.
long SetAsideDamagedSettings(std::u16string* keptAs = nullptr);

// Removes one key's value; with an empty key the whole section, with an empty
// section as well the whole application. Answers 0 on success, 2 when there
// was nothing to remove, another registry error number otherwise.
long DeleteSetting(std::u16string_view app, std::u16string_view section = {}, std::u16string_view key = {});

}  // namespace zv
