// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_pictures.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

namespace meridal::platform::qt {

namespace {

QPixmap loadPixmap(const Resources& resources, unsigned type, unsigned id, const char* format)
{
    QPixmap pixmap;
    if (auto data = resources.find(type, id))
        pixmap.loadFromData(reinterpret_cast<const uchar*>(data->data()), static_cast<uint>(data->size()),
                            format);
    return pixmap;
}

} // namespace

QPixmap loadBitmap(const Resources& resources, unsigned id)
{
    return loadPixmap(resources, res::typeBitmap, id, "BMP");
}

QPixmap loadIconPixmap(const Resources& resources, unsigned id)
{
    return loadPixmap(resources, res::typeIcon, id, "PNG");
}

QIcon loadIcon(const Resources& resources, unsigned id)
{
    const QPixmap pixmap = loadIconPixmap(resources, id);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

} // namespace meridal::platform::qt
