// SPDX-License-Identifier: GPL-3.0-or-later
/* The resource module "TessaryRes.dll": the one exported lookup.
 *
 * Resources are found by type and number. The types keep the numbers the program has
 * always used for them. What the data of each type is:
 *   string  (6)   Windows-1252 bytes of string number `id`
 *   html    (23)  the default catalogue text (170), Windows-1252, LF line ends
 *   dialog  (5)   a Qt Designer .ui file (UTF-8 XML); each control carries its identifier
 *                 in the dynamic property "controlId"; the top widget names its menu bar
 *                 ("menuResource") and its icon ("iconResource"); a label or button may
 *                 name a bitmap to show ("bitmapResource"); a label with "notify" set
 *                 reports clicks; a list with "sorted" set keeps its entries sorted; a
 *                 list with "wantsKeys" set tells the window of the keys pressed on it
 *   menu    (4)   a menu as Windows-1252 text, one line each, fields separated by TAB:
 *                   POPUP<TAB>text          opens a submenu ("&" marks the mnemonic)
 *                   ITEM<TAB>id<TAB>text<TAB>shortcut<TAB>flags
 *                                           shortcut in QKeySequence's portable form or
 *                                           empty; flags empty or "checkable", "checked"
 *                   SEPARATOR
 *                   END                     closes the innermost POPUP
 *                 the top level holds POPUPs only; a popup menu is the first of them
 *   bitmap  (2)   a BMP file, its 14-byte file header kept
 *   icon    (14)  a PNG image
 *   cursor  (1)   a PNG image; its hotspot is the top-left pixel
 * The data stays valid for as long as the module is loaded; text data is followed by a
 * NUL byte that `size` does not count.
 */
#ifndef TESSARY_RES_H
#define TESSARY_RES_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TESSARY_FIND_RESOURCE_SYMBOL "TessaryFindResource"

/* Returns the resource's bytes and stores their count in *size, or returns NULL (and
 * leaves *size alone) when the module has no such resource. */
typedef const unsigned char* (*TessaryFindResourceFn)(unsigned type, unsigned id, size_t* size);

const unsigned char* TessaryFindResource(unsigned type, unsigned id, size_t* size);

#ifdef __cplusplus
}
#endif

#endif
