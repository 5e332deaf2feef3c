// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/window_feature.h"

#include <optional>
#include <string>

namespace meridal {

class ConverterWindow;
class CUnitEditDlg;

// Catalogue editing in the converter window: the dimension and unit commands. Each collects
// its input in the edit dialog or a confirmation box, changes the catalogue, refills the
// lists with the changed dimension selected and marks the catalogue for saving at close.
class CatalogueEditing final : public WindowFeature {
  public:
    explicit CatalogueEditing(ConverterWindow& window);

    bool onCommand(int commandId) override;

    void addDimension();
    void relabelDimension();
    void deleteDimension();
    void addUnit();
    void editUnit();
    void deleteUnit();

  private:
    using Route = Routes<CatalogueEditing>;

    // The unit commands' view of the window: the edited dimension, its base unit, and the
    // unit the command acts on.
    struct UnitContext {
        std::string dimension;
        std::string baseUnit;
        std::string target;
    };
    UnitContext unitContext(bool withTarget);

    void onAddDimension(int) { addDimension(); }
    void onRelabelDimension(int) { relabelDimension(); }
    void onDeleteDimension(int) { deleteDimension(); }
    void onAddUnit(int) { addUnit(); }
    void onEditUnit(int) { editUnit(); }
    void onEditStartUnit(int);
    void onDeleteUnit(int) { deleteUnit(); }
    void onDeleteStartUnit(int);

    int runDialog(CUnitEditDlg& dialog);
    // Why the dialog's labels cannot go into the catalogue, or nullopt. `keepDimension` and
    // `keepUnit` are labels the edit may keep (its own).
    std::optional<std::string> refusal(const CUnitEditDlg& dialog, const std::string& keepDimension,
                                       const std::string& keepUnit) const;
    bool confirmDelete(unsigned questionId, const std::string& label);
    void showError(unsigned textId);
    void finish(const std::string& dimension);

    ConverterWindow& m_window;
};

} // namespace meridal
