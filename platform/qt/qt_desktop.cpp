#include "platform/qt/qt_desktop.h"

#include "catalogue/windows1252.h"

#include <QDate>
#include <QLocale>

namespace meridal::platform::qt {

void QtDesktop::openTarget(const std::string& /*target*/, std::function<void()> failed)
{
    if (failed)
        failed();
}

bool QtDesktop::startCalculator()
{
    return false;
}

bool QtDesktop::writeProfileString(const std::string&, const std::string&, const std::string&)
{
    return false;
}

std::string QtDesktop::programFilePath()
{
    return {};
}

std::string QtDesktop::programFileVersion()
{
    return {};
}

Desktop::DateStatus QtDesktop::programFileCreated(LocalDateTime&)
{
    return DateStatus::Unknown;
}

std::string QtDesktop::shortDate(const LocalDateTime& date)
{
    const QString text =
        QLocale::system().toString(QDate(date.year, date.month, date.day), QLocale::ShortFormat);
    return utf8ToWindows1252Lossy(text.toStdString());
}

} // namespace meridal::platform::qt
