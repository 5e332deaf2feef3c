// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace meridal {
class Resources;
}

// Pictures of the resource module as Qt images. A picture the module lacks, or cannot be
// read, gives a null image and nothing else happens.
namespace meridal::platform::qt {

QPixmap loadBitmap(const Resources& resources, unsigned id);     // a BMP file, header kept
QPixmap loadIconPixmap(const Resources& resources, unsigned id); // a PNG image
QIcon loadIcon(const Resources& resources, unsigned id);

} // namespace meridal::platform::qt
