#pragma once

#include "ui/window_feature.h"

namespace meridal {

class ConverterWindow;

// What the converter window hands to others: the calculator, the help and reference
// targets, and the About box.
class Accessories final : public WindowFeature {
  public:
    explicit Accessories(ConverterWindow& window);

    bool onNotify(const platform::NotifyMessage& message) override;
    bool onCommand(int commandId) override;

  private:
    ConverterWindow& m_window;
};

} // namespace meridal
