// SPDX-License-Identifier: GPL-3.0-or-later
/* The one function that "TessaryRes.dll" exports. Everything else in the module is hidden
 * (it is built with -fvisibility=hidden), so the program sees this lookup and nothing more. */
#include "resources/tessary_res.h"

#include "resources/module/resource_table.h"

#ifdef _WIN32
#define TESSARY_EXPORT __declspec(dllexport)
#else
#define TESSARY_EXPORT __attribute__((visibility("default")))
#endif

TESSARY_EXPORT const unsigned char* TessaryFindResource(unsigned type, unsigned id, size_t* size)
{
    size_t i;
    for (i = 0; i < tessaryEntryCount; ++i) {
        if (tessaryEntries[i].type == type && tessaryEntries[i].id == id) {
            if (size)
                *size = tessaryEntries[i].size;
            return tessaryEntries[i].data;
        }
    }
    return NULL;
}
