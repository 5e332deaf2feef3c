// SPDX-License-Identifier: GPL-3.0-or-later
// The platform contract on the substitute controls and windows that the controllers' tests
// run against. No toolkit: this program builds wherever the controllers do.
#include "tests/contract/platform_contract.h"
#include "tests/support/fake_resources.h"
#include "tests/ui/fake_dialog_host.h"

#include <memory>
#include <string>

namespace meridal::contract {
namespace {

class SubstituteHostMaker {
  public:
    platform::DialogHost& open(platform::DialogController& controller)
    {
        m_host = makeHost();
        if (m_messages)
            m_host->setMessageBoxes(*m_messages);
        m_host->open(controller);
        return *m_host;
    }
    void close() { m_host.reset(); }
    int runWindow(const platform::WindowSystem::ControllerFactory& makeController)
    {
        test::FakeWindowSystem windows([](unsigned) { return makeHost(); });
        return windows.runWindow(m_noResources, 0, makeController);
    }
    void recordMessages(platform::MessageBoxes& boxes) { m_messages = &boxes; }

    void clickEntry(int listId, int index) { list(listId).userClick(test::FakeList::entryPoint(index)); }
    void controlClickEntry(int listId, int index)
    {
        list(listId).userClick(test::FakeList::entryPoint(index), true);
    }
    void clickBelowEntries(int listId)
    {
        list(listId).userClick(test::FakeList::entryPoint(list(listId).entryCount()));
    }
    void type(int editId, const std::string& text) { m_host->edits.at(editId).userType(text); }
    void typeAtFocus(const std::string& text)
    {
        const auto focused = m_host->edits.find(m_host->focused);
        if (focused != m_host->edits.end())
            focused->second.userType(text);
    }
    void pressButton(int buttonId) { m_host->notify(buttonId, Notification::Clicked); }
    void exposePicture(int /*pictureId*/) { m_host->paint(); }
    void pump()
    {
        if (m_host)
            m_host->runPosted();
    }

  private:
    static std::unique_ptr<test::FakeDialogHost> makeHost()
    {
        auto host = std::make_unique<test::FakeDialogHost>(
            std::initializer_list<int>{}, std::initializer_list<int>{dropDownId, listBoxId},
            std::initializer_list<int>{editId}, std::initializer_list<int>{});
        host->otherControls = {pictureId, buttonId};
        return host;
    }
    test::FakeList& list(int id) { return m_host->lists.at(id); }

    test::FakeResources m_noResources; // the substitute window system reads none
    platform::MessageBoxes* m_messages = nullptr;
    std::unique_ptr<test::FakeDialogHost> m_host;
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Substitutes, PlatformContract, SubstituteHostMaker);

} // namespace meridal::contract
