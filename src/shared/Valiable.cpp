#include "Valiable.h"

namespace Valiable {

std::u16string PreviewFilePath;

}  // namespace Valiable
