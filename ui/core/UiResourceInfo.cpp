#include "ui/core/UiResourceInfo.h"

#include <cstdlib>

namespace SkinUI {

void FreeImageInfo(UiImageInfo* image)
{
    if (image == nullptr) return;
    if (image->bitmap) DeleteObject(image->bitmap);
    std::free(image->unadjustedBits);
    delete image;
}

} // namespace SkinUI
