#pragma once

#include "ui/window_feature.h"

namespace meridal {

class ConverterWindow;

// Catalogue editing in the converter window: the dimension and unit commands.
class CatalogueEditing final : public WindowFeature {
  public:
    explicit CatalogueEditing(ConverterWindow& window);

    bool onCommand(int commandId) override;

  private:
    ConverterWindow& m_window;
};

} // namespace meridal
