// SPDX-License-Identifier: GPL-3.0-or-later
// The edit dialog's controller on substitute controls: modes, presets, the numeric fields'
// filter, OK, Cancel and the close box.
#include "tests/support/fake_resources.h"
#include "tests/ui/fake_dialog_host.h"

#include "ui/editing/unit_edit_dlg.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace meridal::test {
namespace {

using platform::Notification;

constexpr int dimensionField = 1021, baseUnitField = 1022, factorField = 1023, unitField = 1024,
              offsetField = 1025;
constexpr int fields[] = {dimensionField, baseUnitField, unitField, factorField, offsetField};

class UnitEditDlgTest : public ::testing::Test {
  protected:
    UnitEditDlgTest()
    {
        m_resources.setString(200, "1").setString(201, "0").setString(202, "Some Face");
        m_host.otherControls = {1, 2, 1046};
    }

    // Attaches and initialises the dialog on the substitute controls.
    void start(CUnitEditDlg& dialog)
    {
        m_host.attach(dialog);
        ASSERT_TRUE(dialog.onInitDialog());
    }
    FakeEdit& field(int id) { return m_host.edits.at(id); }
    void ok() { m_host.notify(1, Notification::Clicked); }

    FakeResources m_resources = FakeResources::withNumberedStrings();
    FakeDialogHost m_host{{}, {}, {1021, 1022, 1023, 1024, 1025}, {}};
};

TEST_F(UnitEditDlgTest, modesSetCaptionWritableFieldsAndPresets)
{
    struct Case {
        EditMode mode;
        const char* caption;
        std::vector<int> writable;
        std::map<int, std::string> presets;
        std::map<int, std::string> shown; // every field afterwards
    };
    const Case cases[] = {
        {EditMode::NewDimension,
         "S203",
         {dimensionField, baseUnitField},
         {},
         {{dimensionField, ""},
          {baseUnitField, ""},
          {unitField, ""},
          {factorField, "1"},
          {offsetField, "0"}}},
        {EditMode::NewUnit,
         "S205",
         {unitField, factorField, offsetField},
         {{dimensionField, "Length"}, {baseUnitField, "m"}, {offsetField, "0"}},
         {{dimensionField, "Length"},
          {baseUnitField, "m"},
          {unitField, ""},
          {factorField, ""},
          {offsetField, "0"}}},
        {EditMode::RelabelDimension,
         "S204",
         {dimensionField},
         {{dimensionField, "Length"},
          {baseUnitField, "m"},
          {unitField, "m"},
          {factorField, "1"},
          {offsetField, "0"}},
         {{dimensionField, "Length"},
          {baseUnitField, "m"},
          {unitField, "m"},
          {factorField, "1"},
          {offsetField, "0"}}},
        // Stored numbers with exponents come through the filter whole.
        {EditMode::EditUnit,
         "S206",
         {unitField, factorField, offsetField},
         {{dimensionField, "Energy"},
          {baseUnitField, "J"},
          {unitField, "kJ"},
          {factorField, "1e3"},
          {offsetField, "2.5E+3"}},
         {{dimensionField, "Energy"},
          {baseUnitField, "J"},
          {unitField, "kJ"},
          {factorField, "1e3"},
          {offsetField, "2.5E+3"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        FakeDialogHost host{{}, {}, {1021, 1022, 1023, 1024, 1025}, {}};
        host.otherControls = {1, 2, 1046};
        CUnitEditDlg dialog(c.mode, m_resources);
        for (const auto& [id, text] : c.presets) {
            void (CUnitEditDlg::*setter)(std::string) = id == dimensionField
                                                            ? &CUnitEditDlg::setDimensionLabel
                                                        : id == baseUnitField ? &CUnitEditDlg::setBaseUnit
                                                        : id == unitField     ? &CUnitEditDlg::setUnitLabel
                                                        : id == factorField   ? &CUnitEditDlg::setFactor
                                                                              : &CUnitEditDlg::setOffset;
            (dialog.*setter)(text);
        }
        host.attach(dialog);
        ASSERT_TRUE(dialog.onInitDialog());
        EXPECT_EQ(host.caption, c.caption);
        auto writable = [&c](int id) {
            return std::find(c.writable.begin(), c.writable.end(), id) != c.writable.end();
        };
        for (int id : fields) {
            SCOPED_TRACE(id);
            EXPECT_EQ(host.edits.at(id).readOnly(), !writable(id));
            EXPECT_EQ(host.edits.at(id).text(), c.shown.at(id));
        }
        // Typing starts in the first field that takes it.
        EXPECT_EQ(host.focused, c.writable.front());
        // The user can change only what is writable (last field first: the base unit field
        // of a new dimension writes the unit field).
        for (auto id = std::rbegin(fields); id != std::rend(fields); ++id) {
            SCOPED_TRACE(*id);
            host.edits.at(*id).userType("7");
            EXPECT_EQ(host.edits.at(*id).text() != c.shown.at(*id), writable(*id));
        }
        EXPECT_EQ(host.fonts[1046].face, "Some Face");
        EXPECT_EQ(host.fonts[1046].points, 10);
    }
}

TEST_F(UnitEditDlgTest, newDimensionGivesTheBaseUnitsNameToItsUnit)
{
    CUnitEditDlg dialog(EditMode::NewDimension, m_resources);
    start(dialog);
    field(dimensionField).userType("Speed");
    field(baseUnitField).userType("m");
    field(baseUnitField).userType("/s");
    EXPECT_EQ(field(unitField).text(), "m/s");
    ok();
    EXPECT_EQ(m_host.endResults, std::vector<int>{1});
    EXPECT_EQ(dialog.dimensionLabel(), "Speed");
    EXPECT_EQ(dialog.baseUnit(), "m/s");
    EXPECT_EQ(dialog.unitLabel(), "m/s");
    EXPECT_EQ(dialog.factor(), "1");
    EXPECT_EQ(dialog.offset(), "0");
}

TEST_F(UnitEditDlgTest, numericFieldsKeepWhatTheDecimalRuleReads)
{
    struct Case {
        int id;
        const char* before;
        int caret;
        const char* typed;
        const char* after;
        int caretAfter;
    };
    const Case cases[] = {
        {factorField, "12", 1, "a", "12", 1},              // a letter goes, the caret stays
        {factorField, "123456", 0, "ab", "123456", 1},     // two removed, the caret back by one only
        {factorField, "", 0, "1.602e-19", "1.602e-19", 9}, // exponents stay
        {offsetField, "", 0, "+2.5E+3 K", "+2.5E+3", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        FakeDialogHost host{{}, {}, {1021, 1022, 1023, 1024, 1025}, {}};
        CUnitEditDlg dialog(EditMode::NewUnit, m_resources);
        dialog.setOffset("");
        host.attach(dialog);
        ASSERT_TRUE(dialog.onInitDialog());
        FakeEdit& edit = host.edits.at(c.id);
        edit.setText(c.before);
        edit.setCaret(c.caret);
        edit.userType(c.typed);
        EXPECT_EQ(edit.text(), c.after);
        EXPECT_EQ(edit.selectionStart(), c.caretAfter);
        EXPECT_EQ(c.id == factorField ? dialog.factor() : dialog.offset(), c.after);
        // The other field's flag was not touched: its next edit is filtered too.
        FakeEdit& other = host.edits.at(c.id == factorField ? offsetField : factorField);
        other.userType("q7");
        EXPECT_EQ(other.text(), "7");
    }
}

TEST_F(UnitEditDlgTest, okRefusesAnEmptyFieldCancelAndCloseEnd)
{
    // A new unit before a factor was typed.
    CUnitEditDlg dialog(EditMode::NewUnit, m_resources);
    dialog.setDimensionLabel("Length");
    dialog.setBaseUnit("m");
    dialog.setOffset("0");
    bool checked = false;
    dialog.setCheck([&checked](const CUnitEditDlg&) {
        checked = true;
        return std::optional<std::string>("refused by the caller");
    });
    start(dialog);
    field(unitField).userType("yd");
    ok();
    EXPECT_TRUE(m_host.endResults.empty());
    ASSERT_EQ(m_host.messages.shown.size(), 1u);
    EXPECT_EQ(m_host.messages.shown[0].text, "S207");
    EXPECT_EQ(m_host.messages.shown[0].caption, "S208");
    EXPECT_FALSE(checked); // the caller's check runs only on filled fields

    field(factorField).userType("0.9144");
    ok();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(m_host.endResults.empty());
    EXPECT_EQ(m_host.messages.shown.back().text, "refused by the caller");
    EXPECT_EQ(field(unitField).text(), "yd"); // nothing typed is lost

    m_host.notify(2, Notification::Clicked);
    m_host.close();
    EXPECT_EQ(m_host.endResults, (std::vector<int>{2, 2}));
}

} // namespace
} // namespace meridal::test
