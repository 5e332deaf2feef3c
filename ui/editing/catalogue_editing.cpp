#include "ui/editing/catalogue_editing.h"

#include "ui/converter_window.h"

namespace meridal {

CatalogueEditing::CatalogueEditing(ConverterWindow& window) : m_window(window) {}

bool CatalogueEditing::onCommand(int /*commandId*/)
{
    return false;
}

} // namespace meridal
