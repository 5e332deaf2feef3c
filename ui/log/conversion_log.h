#pragma once

#include "ui/window_feature.h"

namespace meridal {

class ConverterWindow;

// The conversion log: the log list of the converter window, kept in "log.txt" between runs.
class ConversionLog final : public WindowFeature {
  public:
    explicit ConversionLog(ConverterWindow& window);

    void loadLog(); // reads "log.txt" into the log list
    void saveLog(); // writes the log list back to "log.txt"

    bool onNotify(const platform::NotifyMessage& message) override;
    bool onCommand(int commandId) override;

  private:
    ConverterWindow& m_window;
};

} // namespace meridal
