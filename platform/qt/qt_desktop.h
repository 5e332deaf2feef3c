#pragma once

#include "platform/desktop.h"

#include <QPointer>

class QObject;

namespace meridal::platform::qt {

// The Linux desktop around the program: xdg-open for targets, the desktop's calculator, the
// program file's own facts, and the user's date form.
class QtDesktop final : public Desktop {
  public:
    // `context` is the window: a failure report never arrives after it is gone.
    explicit QtDesktop(QObject* context = nullptr) : m_context(context) {}
    void setContext(QObject* context) { m_context = context; }

    void openTarget(const std::string& target, std::function<void()> failed) override;
    bool startCalculator() override;
    bool writeProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;
    std::string programFilePath() override;
    std::string programFileVersion() override;
    DateStatus programFileCreated(LocalDateTime& created) override;
    std::string shortDate(const LocalDateTime& date) override;

  private:
    QPointer<QObject> m_context;
};

} // namespace meridal::platform::qt
