// SPDX-License-Identifier: GPL-3.0-or-later
// The dimension and unit commands of the converter window, with the edit dialog played on
// substitute controls.
#include "tests/ui/converter_window_fixture.h"

#include "ui/editing/unit_edit_dlg.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace meridal::test {
namespace {

using platform::DefaultButton;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using platform::Notification;
using Labels = std::vector<std::string>;

constexpr const char* allUnits = "S242";
constexpr int okButton = 1, cancelButton = 2;
constexpr int dimensionField = 1021, baseUnitField = 1022, factorField = 1023, unitField = 1024,
              offsetField = 1025;

// What the user does in the edit dialog: the texts typed into fields (replacing what they
// show; a character Windows-1252 cannot hold is typed as a code point), then OK. A dialog
// that refuses OK is cancelled.
struct Typing {
    // A constructor rather than an aggregate: GCC 12 at -O2 with the sanitizers takes the
    // map of a brace-elided aggregate in a case table for uninitialised.
    Typing(std::map<int, std::string> typed = {}, bool cancelled = false, char32_t unrepresentable = 0,
           int unrepresentableAt = 0)
        : texts(std::move(typed)), cancel(cancelled), unrepresentableInto(unrepresentable),
          unrepresentableField(unrepresentableAt)
    {
    }
    std::map<int, std::string> texts;
    bool cancel = false;
    char32_t unrepresentableInto = 0; // typed into `unrepresentableField`
    int unrepresentableField = 0;
};

class CatalogueEditingTest : public ConverterWindowTest {
  protected:
    void SetUp() override
    {
        ConverterWindowTest::SetUp();
        m_resources.setString(200, "1").setString(201, "0");
        m_resources.setString(223, "Delete dimension %s?").setString(227, "Delete unit %s?");
        for (unsigned id : {290, 291, 292, 293, 294, 295, 296, 297, 310, 311})
            m_resources.setString(id, "S" + std::to_string(id) + " %s");
    }

    // Opens the window on the small catalogue (or `text`), Length, in and ft selected.
    void openOn(const std::string& text = {})
    {
        writeFile(text.empty() ? catalogueText(config("Length", "in", "ft", "1")) : text);
        ASSERT_TRUE(open());
        // Opening marks the selection for saving; the commands are to mark the catalogue.
        window().setSaveOnClose(false);
    }

    // The next edit dialogs are played as `typing` says, in turn.
    void play(std::vector<Typing> typings)
    {
        m_typing = std::move(typings);
        host().dialogRunner = [this](unsigned layout, platform::DialogController& controller) {
            EXPECT_EQ(layout, 137u);
            auto dialogHost = std::make_unique<FakeDialogHost>(
                std::initializer_list<int>{}, std::initializer_list<int>{},
                std::initializer_list<int>{dimensionField, baseUnitField, factorField, unitField,
                                           offsetField},
                std::initializer_list<int>{});
            dialogHost->otherControls = {okButton, cancelButton};
            FakeDialogHost& dialog = *dialogHost;
            m_dialogs.push_back(std::move(dialogHost));
            dialog.attach(controller);
            if (!controller.onInitDialog())
                return -1;
            const Typing typing = m_typing.empty() ? Typing{} : m_typing.front();
            if (!m_typing.empty())
                m_typing.erase(m_typing.begin());
            for (const auto& [id, text] : typing.texts) {
                FakeEdit& field = dialog.edits.at(id);
                field.setSelection(0, -1);
                field.userType(text);
            }
            if (typing.unrepresentableField)
                dialog.edits.at(typing.unrepresentableField)
                    .userTypeUnrepresentable(typing.unrepresentableInto);
            dialog.notify(typing.cancel ? cancelButton : okButton, Notification::Clicked);
            if (dialog.endResults.empty()) // refused: the user gives up
                dialog.notify(cancelButton, Notification::Clicked);
            return dialog.endResults.front();
        };
    }

    FakeDialogHost& lastDialog() { return *m_dialogs.back(); }
    const MarkupElement& unitRecord(const std::string& dimension, const std::string& unit)
    {
        const MarkupElement* element = window().catalogue().unit(dimension, unit);
        EXPECT_NE(element, nullptr) << dimension << "/" << unit;
        static const MarkupElement none;
        return element ? *element : none;
    }
    std::string owner(const std::string& unit)
    {
        const std::string* found = window().catalogue().ownerOf(unit);
        return found ? *found : "(none)";
    }
    // Unit labels of a dimension in saved (list) order.
    Labels savedOrder(const std::string& dimension)
    {
        Labels labels;
        if (const UnitList* list = window().catalogue().unitList(dimension))
            for (const ElementPtr& unit : *list)
                labels.push_back(attributeValue(*unit, "label"));
        return labels;
    }
    static std::vector<std::pair<std::string, std::string>> attributes(const MarkupElement& element)
    {
        std::vector<std::pair<std::string, std::string>> out;
        for (const MarkupAttribute& a : element.attributes)
            out.emplace_back(a.name, a.value);
        return out;
    }

    std::vector<Typing> m_typing;
    std::vector<std::unique_ptr<FakeDialogHost>> m_dialogs;
};

using Attributes = std::vector<std::pair<std::string, std::string>>;

TEST_F(CatalogueEditingTest, addDimension)
{
    struct Case {
        const char* name;
        int command;
        std::string catalogue; // empty: the small one
        Typing typing;
        Labels dimensions; // afterwards, in the list
        std::string selected;
    };
    const Case cases[] = {
        {"new dimension",
         131,
         {},
         {{{dimensionField, "Speed"}, {baseUnitField, "m/s"}}},
         {allUnits, "Length", "Speed", "Temperature"},
         "Speed"},
        // An exact label wins over an earlier entry that begins with it.
        {"prefix of another",
         144,
         {},
         {{{dimensionField, "Len"}, {baseUnitField, "x"}}},
         {allUnits, "Len", "Length", "Temperature"},
         "Len"},
        {"empty catalogue",
         131,
         "<root>\n</root>",
         {{{dimensionField, "Speed"}, {baseUnitField, "m/s"}}},
         {allUnits, "Speed"},
         "Speed"},
        {"cancelled",
         131,
         {},
         {{{dimensionField, "Speed"}, {baseUnitField, "m/s"}}, true},
         {allUnits, "Length", "Temperature"},
         "Length"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openOn(c.catalogue);
        play({c.typing});
        host().command(c.command);
        EXPECT_EQ(dimensions().entries(), c.dimensions);
        EXPECT_EQ(dimensions().selectedText(), c.selected);
        const bool added = !c.typing.cancel;
        EXPECT_EQ(window().saveOnClose(), added);
        if (!added)
            continue;
        const std::string label = c.typing.texts.at(dimensionField);
        const std::string base = c.typing.texts.at(baseUnitField);
        // The base unit alone, in both lists, with factor 1 and offset 0.
        EXPECT_EQ(startUnits().entries(), Labels{base});
        EXPECT_EQ(endUnits().entries(), Labels{base});
        const MarkupElement* dimension = window().catalogue().dimension(label);
        ASSERT_NE(dimension, nullptr);
        EXPECT_EQ(attributes(*dimension), (Attributes{{"label", label}, {"baseunit", base}}));
        EXPECT_TRUE(dimension->opens && !dimension->closes);
        const MarkupElement& unit = unitRecord(label, base);
        EXPECT_EQ(attributes(unit), (Attributes{{"label", base}, {"cf", "1"}, {"offset", "0"}}));
        EXPECT_TRUE(unit.opens && unit.closes);
        EXPECT_EQ(owner(base), label);
    }
}

TEST_F(CatalogueEditingTest, relabelDimension)
{
    struct Case {
        const char* name;
        int command;
        const char* selected; // before
        const char* typed;    // nullptr: no dialog expected
        Labels dimensions;    // afterwards
        const char* message;  // expected error text, or ""
    };
    const Case cases[] = {
        {"new label", 161, "Length", "Distance", {allUnits, "Distance", "Temperature"}, ""},
        {"same label", 162, "Length", "Length", {allUnits, "Length", "Temperature"}, ""},
        {"all-units entry", 161, allUnits, nullptr, {allUnits, "Length", "Temperature"}, "S221"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openOn();
        const Labels units = unitsOf("Length");
        ASSERT_TRUE(dimensions().userSelect(std::string(c.selected)));
        play({{{{dimensionField, c.typed ? c.typed : ""}}}});
        host().command(c.command);
        EXPECT_EQ(host().dialogsRun.size(), c.typed ? 1u : 0u);
        EXPECT_EQ(dimensions().entries(), c.dimensions);
        EXPECT_EQ(window().saveOnClose(), c.typed != nullptr);
        if (!c.typed) {
            ASSERT_EQ(messages().size(), 1u);
            EXPECT_EQ(messages()[0].text, c.message);
            EXPECT_EQ(messages()[0].caption, "S208");
            EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
            continue;
        }
        // The dialog showed the dimension with its base unit and the defaults.
        EXPECT_EQ(lastDialog().edits.at(baseUnitField).text(), "m");
        EXPECT_EQ(lastDialog().edits.at(unitField).text(), "m");
        EXPECT_EQ(lastDialog().edits.at(factorField).text(), "1");
        EXPECT_EQ(lastDialog().edits.at(offsetField).text(), "0");
        // Its units moved with it, and their owner entries follow, so the all-units view
        // still finds them.
        EXPECT_EQ(dimensions().selectedText(), c.typed);
        EXPECT_EQ(unitsOf(c.typed), units);
        EXPECT_EQ(savedOrder(c.typed), (Labels{"m", "mm", "in", "ft"}));
        EXPECT_EQ(owner("in"), c.typed);
        EXPECT_EQ(attributeValue(*window().catalogue().dimension(c.typed), "label"), c.typed);
        // Stored anew: the first of its bucket in table order.
        for (const std::string& label : window().catalogue().dimensionLabels()) {
            if (LabelTable<int>::bucketOf(label) == LabelTable<int>::bucketOf(c.typed)) {
                EXPECT_EQ(label, c.typed);
                break;
            }
        }
    }
}

TEST_F(CatalogueEditingTest, deleteDimension)
{
    struct Case {
        const char* name;
        int command;
        const char* selected;
        std::vector<MessageResult> answers;
        Labels dimensions; // afterwards
        const char* message;
    };
    const Case cases[] = {
        {"confirmed",
         130,
         "Length",
         {MessageResult::Yes},
         {allUnits, "Temperature"},
         "Delete dimension Length?"},
        {"not confirmed", 145, "Length", {}, {allUnits, "Length", "Temperature"}, "Delete dimension Length?"},
        {"all-units entry", 130, allUnits, {}, {allUnits, "Length", "Temperature"}, "S222"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openOn();
        ASSERT_TRUE(dimensions().userSelect(std::string(c.selected)));
        host().messages.answers.assign(c.answers.begin(), c.answers.end());
        host().command(c.command);
        EXPECT_EQ(dimensions().entries(), c.dimensions);
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, c.message);
        const bool question = c.message[0] == 'D';
        EXPECT_EQ(messages()[0].caption, question ? "S224" : "S208");
        EXPECT_EQ(messages()[0].buttons, question ? MessageButtons::YesNo : MessageButtons::Ok);
        if (question) {
            EXPECT_EQ(messages()[0].defaultButton, DefaultButton::Second);
        }
        EXPECT_EQ(window().saveOnClose(), !c.answers.empty());
        if (!c.answers.empty()) {
            EXPECT_EQ(dimensions().selectedText(), allUnits);
            EXPECT_EQ(owner("in"), "(none)");
            EXPECT_EQ(window().catalogue().unitList("Length"), nullptr);
        }
    }

    // Deleting a label that begins another selects that other; the only dimension can go.
    openOn();
    play({{{{dimensionField, "Temp"}, {baseUnitField, "t"}}}});
    host().command(131);
    host().messages.answers = {MessageResult::Yes};
    host().command(130);
    EXPECT_EQ(dimensions().selectedText(), "Temperature");
    openOn("<root>\n\t<dimension label=\"Length\" baseunit=\"m\">\n\t\t<unit label=\"m\" cf=1 offset=0/>\n"
           "\t</dimension>\n</root>");
    ASSERT_TRUE(dimensions().userSelect(std::string("Length")));
    host().messages.answers = {MessageResult::Yes};
    host().command(130);
    EXPECT_EQ(dimensions().entries(), Labels{allUnits});
    EXPECT_EQ(dimensions().selectedIndex(), 0);
}

TEST_F(CatalogueEditingTest, addUnit)
{
    struct Case {
        const char* name;
        const char* dimension; // selected
        const char* startUnit; // selected
        int command;
        const char* owner; // the dimension that gets the unit
    };
    const Case cases[] = {
        {"dimension selected", "Length", "in", 135, "Length"},
        {"all-units view", allUnits, "C", 146, "Temperature"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openOn();
        ASSERT_TRUE(dimensions().userSelect(std::string(c.dimension)));
        ASSERT_TRUE(startUnits().userSelect(std::string(c.startUnit)));
        play({{{{unitField, "yd"}, {factorField, "0.9144"}}}});
        host().command(c.command);
        // The dialog showed the dimension and its base unit, an empty factor, offset 0.
        EXPECT_EQ(lastDialog().edits.at(dimensionField).text(), c.owner);
        EXPECT_EQ(attributes(unitRecord(c.owner, "yd")),
                  (Attributes{{"label", "yd"}, {"cf", "0.9144"}, {"offset", "0"}}));
        EXPECT_EQ(savedOrder(c.owner).back(), "yd"); // appended
        EXPECT_EQ(owner("yd"), c.owner);
        // That dimension is selected, both unit lists refilled with their first entries.
        EXPECT_EQ(dimensions().selectedText(), c.owner);
        EXPECT_EQ(startUnits().selectedIndex(), 0);
        EXPECT_EQ(endUnits().selectedIndex(), 0);
        EXPECT_TRUE(window().saveOnClose());
    }

    // No start unit: the command fails before anything changes, with the standard report.
    openOn("<root>\n</root>");
    play({{{{unitField, "yd"}, {factorField, "1"}}}});
    host().command(135);
    EXPECT_TRUE(host().dialogsRun.empty());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages()[0].caption, "S208");
    EXPECT_EQ(messages()[0].text, std::string(std::strerror(EINVAL)));
    EXPECT_FALSE(window().saveOnClose());
}

TEST_F(CatalogueEditingTest, editUnit)
{
    // mm and MM differ in case only; the base unit is written "M".
    const std::string catalogue = "<root>\n\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=1/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"M\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"kJ\" cf=1e3 offset=2.5E+3/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t\t<unit label=\"odd\" cf=\"1-2\" offset=\"3,5\"/>\n"
                                  "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                  "\t</dimension>\n</root>";
    struct Case {
        const char* name;
        int command;
        int contextList;
        const char* startUnit;
        const char* endUnit;
        std::map<int, std::string> typed;
        const char* target; // the unit changed, or "" when refused
        Attributes record;  // afterwards
        const char* message;
    };
    const Case cases[] = {
        {"context menu over the end list",
         158,
         1,
         "ft",
         "in",
         {{unitField, "inch"}},
         "in",
         {{"label", "inch"}, {"cf", "0.0254"}, {"offset", "0"}},
         ""},
        {"menu bar: the start list",
         163,
         1,
         "ft",
         "in",
         {{factorField, "0.3"}},
         "ft",
         {{"label", "ft"}, {"cf", "0.3"}, {"offset", "0"}},
         ""},
        // Renaming keeps the stored numbers exactly, exponents and unread tails included.
        {"rename keeps exponents",
         158,
         0,
         "kJ",
         "in",
         {{unitField, "kilojoule"}},
         "kJ",
         {{"label", "kilojoule"}, {"cf", "1e3"}, {"offset", "2.5E+3"}},
         ""},
        {"rename keeps odd numbers",
         158,
         0,
         "odd",
         "in",
         {{unitField, "even"}},
         "odd",
         {{"label", "even"}, {"cf", "1-2"}, {"offset", "3,5"}},
         ""},
        {"base unit in another case", 158, 0, "m", "in", {}, "", {}, "S225"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openOn(catalogue);
        ASSERT_TRUE(startUnits().userSelect(std::string(c.startUnit)));
        ASSERT_TRUE(endUnits().userSelect(std::string(c.endUnit)));
        window().setContextList(c.contextList);
        const Labels before = savedOrder("Length");
        play({{c.typed}});
        host().command(c.command);
        if (!*c.target) {
            EXPECT_TRUE(host().dialogsRun.empty());
            ASSERT_EQ(messages().size(), 1u);
            EXPECT_EQ(messages()[0].text, c.message);
            EXPECT_FALSE(window().saveOnClose());
            continue;
        }
        const std::string label = c.record.front().second;
        EXPECT_EQ(attributes(unitRecord("Length", label)), c.record);
        // In place: the saved order is the old one with the label changed.
        Labels expected = before;
        std::replace(expected.begin(), expected.end(), std::string(c.target), label);
        EXPECT_EQ(savedOrder("Length"), expected);
        EXPECT_EQ(owner(label), "Length");
        if (label != c.target) {
            EXPECT_EQ(owner(c.target), "(none)");
            EXPECT_EQ(window().catalogue().unit("Length", c.target), nullptr);
        }
        EXPECT_EQ(window().contextList(), c.command == 163 ? 0 : c.contextList);
        EXPECT_TRUE(window().saveOnClose());
    }
}

TEST_F(CatalogueEditingTest, deleteUnit)
{
    const std::string catalogue = "<root>\n\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=1/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"mm\" cf=0.001 offset=0/>\n"
                                  "\t\t<unit label=\"MM\" cf=1000000 offset=0/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                  "\t</dimension>\n</root>";
    struct Case {
        const char* name;
        int command;
        int contextList;
        const char *startUnit, *endUnit;
        std::vector<MessageResult> answers;
        Labels remaining; // saved order
        const char* message;
    };
    const Case cases[] = {
        {"context menu over the end list",
         136,
         1,
         "ft",
         "MM",
         {MessageResult::Yes},
         {"m", "mm", "in", "ft"},
         "Delete unit MM?"},
        {"menu bar: the start list",
         147,
         1,
         "mm",
         "in",
         {MessageResult::Yes},
         {"m", "MM", "in", "ft"},
         "Delete unit mm?"},
        {"not confirmed", 136, 0, "in", "ft", {}, {"m", "mm", "MM", "in", "ft"}, "Delete unit in?"},
        {"base unit", 136, 0, "m", "ft", {MessageResult::Yes}, {"m", "mm", "MM", "in", "ft"}, "S226"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openOn(catalogue);
        ASSERT_TRUE(startUnits().userSelect(std::string(c.startUnit)));
        ASSERT_TRUE(endUnits().userSelect(std::string(c.endUnit)));
        window().setContextList(c.contextList);
        host().messages.answers.assign(c.answers.begin(), c.answers.end());
        host().command(c.command);
        EXPECT_EQ(savedOrder("Length"), c.remaining);
        ASSERT_GE(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, c.message);
        const bool deleted = c.remaining.size() == 4;
        EXPECT_EQ(window().saveOnClose(), deleted);
        if (c.message[0] == 'D') {
            EXPECT_EQ(messages()[0].defaultButton, DefaultButton::Second);
        }
        if (deleted) {
            EXPECT_EQ(dimensions().selectedText(), "Length");
            EXPECT_EQ(startUnits().entryCount(), 4);
        }
    }
}

// Input that would corrupt the catalogue is refused with a message, the dialog staying open.
TEST_F(CatalogueEditingTest, refusals)
{
    struct Case {
        const char* name;
        int command;
        Typing typing;
        const char* message;
    };
    const Case cases[] = {
        {"dimension label in use", 131, {{{dimensionField, "Length"}, {baseUnitField, "x"}}}, "S290 Length"},
        {"renamed to a label in use", 161, {{{dimensionField, "Temperature"}}}, "S290 Temperature"},
        {"dimension labelled as the all-units entry", 161, {{{dimensionField, allUnits}}}, "S292 S242"},
        {"base unit is a unit elsewhere", 131, {{{dimensionField, "Speed"}, {baseUnitField, "K"}}}, "S291 K"},
        {"unit label in use in another dimension", 135, {{{unitField, "K"}, {factorField, "1"}}}, "S291 K"},
        {"changed to a label in use", 158, {{{unitField, "ft"}}}, "S291 ft"},
        {"label with a quote", 135, {{{unitField, "5\" pipe"}, {factorField, "1"}}}, "S293 5\" pipe"},
        {"label with a leading blank",
         131,
         {{{dimensionField, " Speed"}, {baseUnitField, "x"}}},
         "S293  Speed"},
        {"label with a leading tab", 135, {{{unitField, "\tyd"}, {factorField, "1"}}}, "S293 \tyd"},
        {"character outside Windows-1252",
         135,
         {{{factorField, "1"}}, false, U'\u2713', unitField},
         "S294 U+2713"},
        {"factor zero", 135, {{{unitField, "yd"}, {factorField, "0.0"}}}, "S295 %s"},
        {"factor a lone minus", 135, {{{unitField, "yd"}, {factorField, "-"}}}, "S296 -"},
        {"factor with two points", 158, {{{factorField, "1.2.3"}}}, "S296 1.2.3"},
        {"offset not one number",
         135,
         {{{unitField, "yd"}, {factorField, "1"}, {offsetField, "1-2"}}},
         "S297 1-2"},
        {"factor out of range", 135, {{{unitField, "yd"}, {factorField, "1e999"}}}, "S296 1e999"},
        {"unit label with a line feed", 135, {{{unitField, "yd\nx"}, {factorField, "1"}}}, "S310 %s"},
        {"changed to a label ending in a carriage return", 158, {{{unitField, "in\r"}}}, "S310 %s"},
        {"dimension label with a line break",
         131,
         {{{dimensionField, "Sp\r\need"}, {baseUnitField, "x"}}},
         "S310 %s"},
        {"renamed with a line feed", 161, {{{dimensionField, "\nLength"}}}, "S310 %s"},
        {"base unit with a line feed",
         131,
         {{{dimensionField, "Speed"}, {baseUnitField, "m/s\n"}}},
         "S310 %s"},
        {"factor below the smallest normal number",
         135,
         {{{unitField, "yd"}, {factorField, "1e-320"}}},
         "S311 1e-320"},
        {"negative factor below the smallest normal number",
         158,
         {{{factorField, "-2.2e-308"}}},
         "S311 -2.2e-308"},
        {"factor too small to be held", 135, {{{unitField, "yd"}, {factorField, "1e-400"}}}, "S311 1e-400"},
        {"factor zero with an exponent", 135, {{{unitField, "yd"}, {factorField, "0e-400"}}}, "S295 %s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openOn();
        ASSERT_TRUE(dimensions().userSelect(std::string("Length")));
        ASSERT_TRUE(startUnits().userSelect(std::string("in")));
        window().setContextList(0);
        play({c.typing});
        host().command(c.command);
        // OK was refused: the dialog stayed open until the user cancelled it.
        ASSERT_EQ(host().dialogsRun.size(), 1u);
        const FakeDialogHost& dialog = lastDialog();
        EXPECT_EQ(dialog.endResults, std::vector<int>{2});
        ASSERT_EQ(dialog.messages.shown.size(), 1u);
        EXPECT_EQ(dialog.messages.shown[0].text, c.message);
        EXPECT_EQ(dialog.messages.shown[0].caption, "S208");
        EXPECT_EQ(dialog.messages.shown[0].icon, MessageIcon::Error);
        EXPECT_FALSE(window().saveOnClose());
    }

    // What is accepted: a unit keeps its own label, a factor with an exponent, a dimension
    // renamed in letter case only.
    const std::vector<std::pair<int, Typing>> accepted = {
        {158, {{{unitField, "in"}, {factorField, "2.54e-2"}}}},
        {135, {{{unitField, "eV"}, {factorField, "1.602176634e-19"}, {offsetField, "+0"}}}},
        {161, {{{dimensionField, "length"}}}},
        {135, {{{unitField, "yd"}, {factorField, "2.2250738585072014e-308"}}}},
        {135, {{{unitField, "yd"}, {factorField, "-1e308"}}}},
    };
    for (const auto& [command, typing] : accepted) {
        SCOPED_TRACE(command);
        openOn();
        ASSERT_TRUE(startUnits().userSelect(std::string("in")));
        play({typing});
        host().command(command);
        EXPECT_TRUE(lastDialog().messages.shown.empty());
        EXPECT_EQ(lastDialog().endResults, std::vector<int>{1});
        EXPECT_TRUE(window().saveOnClose());
    }

    // A stored number the dialog refuses as input still loads, converts and stays as stored
    // when only the label of its unit changes.
    std::string stored = catalogueText(config("Length", "tiny", "m", "1"));
    const std::string millimetre = "<unit label=\"mm\" cf=0.001";
    stored.replace(stored.find(millimetre), millimetre.size(), "<unit label=\"tiny\" cf=1e-320");
    openOn(stored);
    EXPECT_EQ(output().text(), "0.000000");
    ASSERT_TRUE(startUnits().userSelect(std::string("tiny")));
    play({{{{unitField, "wee"}}}});
    host().command(158);
    EXPECT_TRUE(lastDialog().messages.shown.empty());
    EXPECT_EQ(attributes(unitRecord("Length", "wee")),
              (Attributes{{"label", "wee"}, {"cf", "1e-320"}, {"offset", "0"}}));
}

} // namespace
} // namespace meridal::test
