#include "Valiable.h"

namespace Valiable {

std::u16string PreviewFilePath;
bool DestDriveSync = false;

}  // namespace Valiable
