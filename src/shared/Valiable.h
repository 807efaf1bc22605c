#pragma once
// State shared by the windows of ZVNUM.

#include <string>

namespace Valiable {

// Full path of the file to preview. Written by the file list's double-click
// just before a viewer opens; read by the viewers when they load.
extern std::u16string PreviewFilePath;

// Set just before the source folder handler moves the destination drive list
// to the source drive, and cleared by the destination drive handler that this
// assignment runs: that handler then leaves the destination folder alone,
// since the source folder handler sets it right afterwards.
extern bool DestDriveSync;

}  // namespace Valiable
