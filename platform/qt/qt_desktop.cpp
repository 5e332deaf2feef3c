// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_desktop.h"

#include "platform/qt/elf_section.h"
#include "platform/qt/qt_text.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace meridal::platform::qt {

namespace {

// The openers still running, owned by the application rather than by any window. When the
// application object goes, those still running are let go rather than killed (QProcess
// would kill them): they keep running, and the system reaps them once the program is gone.
class Openers final : public QObject {
  public:
    using QObject::QObject;
    ~Openers() override
    {
        static auto* const released = new std::vector<QProcess*>; // reachable, never freed
        for (QProcess* process : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->disconnect();
            process->setParent(nullptr);
            released->push_back(process);
        }
    }

    static Openers* instance()
    {
        // One for each application object; it goes with the application.
        static QPointer<Openers> openers;
        QCoreApplication* application = QCoreApplication::instance();
        if (!application)
            return nullptr;
        if (!openers || openers->parent() != application)
            openers = new Openers(application);
        return openers;
    }
};

} // namespace

void QtDesktop::openTarget(const std::string& target, std::function<void()> failed)
{
    // Runs from the event loop, outside any handler of the window: nothing may escape it, and
    // a failure while reporting a failure has nowhere left to go.
    const auto report = [failed] {
        try {
            if (failed)
                failed();
        } catch (...) {
        }
    };
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    Openers* openers = Openers::instance();
    if (opener.isEmpty() || !openers) {
        report();
        return;
    }

    auto* process = new QProcess(openers);
    process->setProgram(opener);
    process->setArguments({toQString(target)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    // The report goes through the window: when it is gone, the connection is too.
    QObject* receiver = m_context ? m_context.data() : process;
    QObject::connect(process, &QProcess::errorOccurred, receiver, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report();
    });
    QObject::connect(process, &QProcess::finished, receiver, [report](int code, QProcess::ExitStatus status) {
        // xdg-open's own failures: 1 bad arguments, 2 no such file, 3 no tool, 4 action failed.
        if (status == QProcess::NormalExit && code >= 1 && code <= 4)
            report();
    });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    process->start();
}

const std::vector<std::pair<const char*, std::vector<const char*>>>& QtDesktop::calculators()
{
    static const std::vector<std::pair<const char*, std::vector<const char*>>> programs = {
        {"gnome-calculator", {"--mode=advanced"}},
        {"kcalc", {}},
        {"galculator", {}},
        {"mate-calc", {}},
        {"qalculate-gtk", {}},
        {"xcalc", {}},
    };
    return programs;
}

bool QtDesktop::startCalculator()
{
    for (const auto& [name, arguments] : calculators()) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (program.isEmpty())
            continue;
        QStringList list;
        for (const char* argument : arguments)
            list << QString::fromLatin1(argument);
        return QProcess::startDetached(program, list);
    }
    return false;
}

std::string QtDesktop::profileFilePath()
{
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* user = getpwuid(getuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (!home || home[0] != '/')
            return {};
        base = std::string(home) + "/.config";
    }
    return base + "/meridal/win.ini";
}

bool QtDesktop::writeProfileString(const std::string& section, const std::string& key,
                                   const std::string& value)
{
    const std::string path = profileFilePath();
    return m_profileWriter && !path.empty() && m_profileWriter(path, section, key, value);
}

std::string QtDesktop::programFilePath()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink(m_programFile, error);
    return error ? m_programFile : path.string();
}

std::string QtDesktop::programFileVersion()
{
    const std::optional<std::string> stamped = readElfSection(m_programFile, versionSectionName);
    if (!stamped)
        return {};
    // The text up to its terminating NUL, and only when it is a plain version number.
    std::string version = stamped->substr(0, stamped->find('\0'));
    if (version.size() > 64 || version.find_first_not_of("0123456789.") != std::string::npos)
        return {};
    return version;
}

Desktop::DateStatus QtDesktop::programFileCreated(LocalDateTime& created)
{
    struct statx status {};
    if (::statx(AT_FDCWD, m_programFile.c_str(), 0, STATX_BTIME, &status) != 0 ||
        !(status.stx_mask & STATX_BTIME))
        return DateStatus::Unknown; // unreadable, or the file system keeps no birth time
    const auto seconds = static_cast<std::time_t>(status.stx_btime.tv_sec);
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return DateStatus::Unconvertible;
    const long year = local.tm_year + 1900L;
    if (year < 100 || year > 9999)
        return DateStatus::Unconvertible;
    created = {static_cast<int>(year), local.tm_mon + 1, local.tm_mday,
               local.tm_hour,          local.tm_min,     local.tm_sec};
    return DateStatus::Ok;
}

std::string QtDesktop::shortDate(const LocalDateTime& date)
{
    const QString text =
        QLocale::system().toString(QDate(date.year, date.month, date.day), QLocale::ShortFormat);
    return fromQString(text);
}

} // namespace meridal::platform::qt
