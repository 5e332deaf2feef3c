// SPDX-License-Identifier: GPL-3.0-or-later
/* The table of resources that the generated data file defines and the lookup searches. */
#ifndef TESSARY_RESOURCE_TABLE_H
#define TESSARY_RESOURCE_TABLE_H

#include <stddef.h>

struct TessaryEntry {
    unsigned type;
    unsigned id;
    const unsigned char* data; /* followed by a NUL byte that `size` does not count */
    size_t size;
};

extern const struct TessaryEntry tessaryEntries[];
extern const size_t tessaryEntryCount;

#endif
