#include "ui/log/conversion_log.h"

#include "ui/converter_window.h"

namespace meridal {

ConversionLog::ConversionLog(ConverterWindow& window) : m_window(window) {}

void ConversionLog::loadLog() {}
void ConversionLog::saveLog() {}

bool ConversionLog::onNotify(const platform::NotifyMessage& /*message*/)
{
    return false;
}

bool ConversionLog::onCommand(int /*commandId*/)
{
    return false;
}

} // namespace meridal
