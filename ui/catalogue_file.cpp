// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/catalogue_file.h"

#include "catalogue/unit_catalogue.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "resources/resource_ids.h"
#include "ui/converter_window.h"
#include "ui/list_selection.h"

namespace meridal {

using platform::DefaultButton;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

namespace {

void tell(ConverterWindow& window, unsigned textId, unsigned captionId, MessageIcon icon)
{
    window.showMessage(textId, captionId, icon, MessageButtons::Ok, DefaultButton::First);
}

} // namespace

CatalogueFile::CatalogueFile(ConverterWindow& window) : m_window(window) {}

bool CatalogueFile::load(std::string& error)
{
    const OpenedCatalogue opened =
        openCatalogue(m_file, m_window.catalogue(), m_window.resources(), MissingCatalogue::WriteDefault);
    if (opened.state == FileState::ReadOnly) {
        tell(m_window, res::strCatalogueReadOnly, res::strWarningCaption, MessageIcon::Warning);
        m_window.setReadOnlyWarned(true);
    }
    if (!opened.result.ok) {
        error = opened.result.error;
        return false;
    }
    if (opened.result.unreadable) {
        // Saving what was read from a file that could not be read would wipe that file.
        if (opened.result.fileStatus == UserFileContent::Status::TooLarge &&
            opened.result.reason == sizeLimitReason(m_file.limit()))
            tell(m_window, res::strCatalogueTooLarge, res::strWarningCaption, MessageIcon::Warning);
        else
            m_window.showMessageWithReason(res::strCatalogueUnreadable, res::strWarningCaption,
                                           MessageIcon::Warning, opened.result.reason);
    } else if (opened.defaultNotWritten) {
        m_neverCreated = true;
        tell(m_window, res::strCatalogueNotCreated, res::strWarningCaption, MessageIcon::Warning);
    }
    return true;
}

void CatalogueFile::writeDefault()
{
    // A module without the default text, or a folder that cannot take the file, leaves
    // the file missing.
    meridal::writeDefaultCatalogue(m_file.path(), m_window.resources());
}

void CatalogueFile::save()
{
    if (m_neverCreated)
        return; // told at start

    UnitCatalogue& ours = m_window.catalogue();
    UnitCatalogue theirs;
    UnitCatalogue* saved = &ours;
    TrackedFile::Check check = m_file.checkBeforeSave(m_edited);
    switch (check.action) {
    case TrackedFile::Action::NeverSaveOver:
        tell(m_window, res::strCatalogueNotSavedUnreadable, res::strErrorCaption, MessageIcon::Warning);
        return;
    case TrackedFile::Action::StillMissing:
    case TrackedFile::Action::Gone:
        // Deleted while the window ran: it is not created again.
        tell(m_window, res::strCatalogueMissing, res::strErrorCaption, MessageIcon::Error);
        return;
    case TrackedFile::Action::ReadOnly:
        if (!m_window.readOnlyWarned())
            tell(m_window, res::strCatalogueReadOnly, res::strErrorCaption, MessageIcon::Error);
        return;
    case TrackedFile::Action::KeepTheirs:
        return;
    case TrackedFile::Action::Merge: {
        // Only the selection differs: the other writer's catalogue, with the new selection.
        const LoadResult reread = readCatalogueContent(std::move(check.theirs), theirs, m_window.resources());
        if (!reread.ok || reread.unreadable) {
            tell(m_window, res::strCatalogueChangedNoLongerLoads, res::strErrorCaption, MessageIcon::Warning);
            return;
        }
        saved = &theirs;
        break;
    }
    case TrackedFile::Action::Ask:
        if (m_window.showMessage(res::strCatalogueChangedReplace, res::strWarningCaption,
                                 MessageIcon::Question, MessageButtons::YesNo,
                                 DefaultButton::Second) != MessageResult::Yes)
            return;
        break;
    case TrackedFile::Action::Save:
        break;
    }

    saved->setConfig(makeConfig(selectedText(m_window.dimensionList()),
                                selectedText(m_window.startUnitList()), selectedText(m_window.endUnitList()),
                                m_window.input().text()));
    std::string reason;
    if (!m_file.save(catalogueBytes(*saved), reason))
        m_window.showMessageWithReason(res::strCatalogueSaveFailed, res::strErrorCaption, MessageIcon::Error,
                                       reason);
}

} // namespace meridal
