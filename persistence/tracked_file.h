// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "persistence/user_file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace meridal {

// One of the user's files that the program reads once at start and saves at close (the
// catalogue, the log). It is read in one piece, and those same bytes are what the program
// parses and what it remembers; nothing reads the file a second time behind the parser's
// back. At close it tells whether the file may be saved: another program (a text editor, a
// second window) may have changed it meanwhile, and its change is never reverted behind the
// person's back.
class TrackedFile {
  public:
    // What becomes of another writer's change when the program has nothing of its own to
    // save but what every close saves (the remembered selection): kept as it is, or taken
    // as it is now with the program's part merged into it.
    enum class TheirChange { Keep, Merge };

    TrackedFile(std::string path, TheirChange theirChange, std::size_t limit = maxUserFileBytes);

    const std::string& path() const { return m_path; }
    std::size_t limit() const { return m_limit; }

    // At start. Reads the whole file; the bytes read are the ones later compared with. A file
    // that cannot be read (not a regular file, over the limit...) is never saved over.
    UserFileContent read();
    // Creates the missing file with `bytes` (see createFile); those bytes are the ones later
    // compared with. False, with the reason in `error`, when it cannot be made.
    bool create(std::string_view bytes, std::string& error);
    // What was read cannot be used (too much to show, say): the file is never saved over.
    void markUnreadable() { m_found = Found::Unreadable; }

    // What it was at start.
    bool unreadable() const { return m_found == Found::Unreadable; }
    // It was there (read or created) when the program started.
    bool existedAtStart() const { return m_found == Found::Read || m_found == Found::Created; }

    // At close: what may be done with the file now.
    enum class Action {
        Save,          // it is as it was read (or last saved): save
        NeverSaveOver, // it could not be read at start
        StillMissing,  // there was none at start, and there is none now
        Gone,          // it was there at start and has gone since
        ReadOnly,      // it may not be written
        KeepTheirs,    // another program changed it and the program has no change of its own
        Merge,         // the same, for a file whose change is merged: `theirs` holds it as it is now
        Ask,           // another program changed it and so did the person: they decide
    };
    struct Check {
        Action action = Action::Save;
        UserFileContent theirs; // the file as it is now, for Merge
    };
    // `changedByUs`: the person changed what the file holds in this session. A file that is
    // there at close but was not read at start counts as changed by another program.
    Check checkBeforeSave(bool changedByUs) const;

    // Replaces the file with `bytes` (see writeFileAtomically); those bytes are the ones
    // later compared with. False, with the reason in `error`, when it cannot be written.
    bool save(std::string_view bytes, std::string& error);

  private:
    // What the file held when it was last read or written.
    struct Snapshot {
        FileIdentity identity;
        // The identity alone shows any later change: the file had not been changed for a
        // while when it was read, so the file system's clock cannot give a later change the
        // same time. Otherwise only the bytes tell.
        bool identityTells = false;
        std::uint64_t size = 0;
        std::uint64_t hash = 0;
    };
    enum class Found { NotLooked, Read, Created, Missing, Unreadable };

    void remember(std::string_view bytes, std::optional<FileIdentity> identity);
    // Whether the file is still what the snapshot remembers; `now` receives the file as it
    // is when it had to be read to tell.
    bool unchanged(UserFileContent& now) const;

    std::string m_path;
    TheirChange m_theirChange;
    std::size_t m_limit;
    Found m_found = Found::NotLooked;
    std::optional<Snapshot> m_snapshot;
};

} // namespace meridal
