// The resources of the program's own image, read in place.
#pragma once

#include "platform/win32.h"

// The bytes of resource `name` of type `type` and, in `size`, their count; null when the
// resource is missing or cannot be loaded.
const BYTE* FindImageResource(LPCSTR name, LPCSTR type, DWORD& size);

// The texts, kept out of the program's code: the options of a run with arguments, the licence
// agreement and the notice of an earlier version.
constexpr WORD kUsageText = 1;
constexpr WORD kLicenceText = 2;
constexpr WORD kNoticeText = 3;

// Text resource `id` of type "TEXT" (a file of the resources folder that ends in a zero byte)
// as a string; "" when it is missing or has no zero at its end.
const char* ImageText(WORD id);
