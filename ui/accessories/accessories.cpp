#include "ui/accessories/accessories.h"

#include "ui/converter_window.h"

namespace meridal {

Accessories::Accessories(ConverterWindow& window) : m_window(window) {}

bool Accessories::onNotify(const platform::NotifyMessage& /*message*/)
{
    return false;
}

bool Accessories::onCommand(int /*commandId*/)
{
    return false;
}

} // namespace meridal
