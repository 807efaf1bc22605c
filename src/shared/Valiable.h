#pragma once
// State shared by the windows of ZVNUM.

#include <string>

namespace Valiable {

// Full path of the file to preview. Written by the file list's double-click
// just before a viewer opens; read by the viewers when they load.
extern std::u16string PreviewFilePath;

}  // namespace Valiable
