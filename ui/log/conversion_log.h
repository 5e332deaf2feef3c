// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "persistence/log_file.h"
#include "persistence/tracked_file.h"
#include "ui/window_feature.h"

#include <string>

namespace meridal {

class ConverterWindow;

namespace platform {
enum class MessageIcon;
}

// The parts of a log entry "INPUT START  =  RESULT END".
struct LogEntryParts {
    std::string input;
    std::string startUnit;
    std::string result;
    std::string endUnit;
};

// The conversion log: the log list of the converter window, newest entry at the top, kept in
// "log.txt" between runs. The file is read once at start and written once at close; in
// between every command works on the list alone.
class ConversionLog final : public WindowFeature {
  public:
    explicit ConversionLog(ConverterWindow& window);

    void loadLog(); // reads "log.txt" into the log list, creating a missing file empty
    void saveLog(); // writes the log list back to "log.txt"

    // The button and list commands.
    void addLogEntry();
    void deleteLogEntry();
    void clearLog();
    void restoreLogEntry();
    void copyLogEntry();

    // Splits an entry at its first "=": the text two characters before it and the text three
    // characters after it, each cut at its first space. Throws std::invalid_argument when
    // either side has no space.
    static LogEntryParts parseLogEntry(const std::string& entry);

    bool onNotify(const platform::NotifyMessage& message) override;
    bool onCommand(int commandId) override;

  private:
    using Route = Routes<ConversionLog>;

    void onAdd(const platform::NotifyMessage&) { addLogEntry(); }
    void onDelete(const platform::NotifyMessage&) { deleteLogEntry(); }
    void onClear(const platform::NotifyMessage&) { clearLog(); }
    void onRestore(const platform::NotifyMessage&) { restoreLogEntry(); }
    void onCopy(int) { copyLogEntry(); }

    // Tells at start that the log cannot be used, empties the list, and never saves over it.
    void refuseLog(const std::string& reason);

    ConverterWindow& m_window;
    // "log.txt": what was read from it, and what closing may save into it. Another program's
    // change is kept unless the person changed the log too and chooses to replace it.
    TrackedFile m_file{logFileName, TrackedFile::TheirChange::Keep, maxLogFileBytes};
    // The person changed the log since it was read.
    bool m_changed = false;
};

} // namespace meridal
