#include "texture/DibReader.h"

RgbImage* LoadDibImage(const char*)
{
    return nullptr;  // PLACEHOLDER: being written
}

unsigned short DibColorCount(const void*)
{
    return 0;  // PLACEHOLDER: being written
}
