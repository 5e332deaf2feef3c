#pragma once

#include <cstdint>
#include <string>

namespace meridal {

// What a file held when the program read it, so that a later save can tell whether another
// writer (a text editor, a second window) changed it since. The bytes' hash decides; the
// file's identity, size and modification time only spare reading it again while they are
// unchanged.
class FileSnapshot {
  public:
    // The file at `path` as it is now; an empty snapshot when it cannot be read.
    static FileSnapshot take(const std::string& path);

    bool empty() const { return !m_taken; }
    // True when the file at `path` still holds the bytes of this snapshot.
    bool matches(const std::string& path) const;

  private:
    bool m_taken = false;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::uint64_t m_size = 0;
    std::int64_t m_modifiedSeconds = 0;
    std::int64_t m_modifiedNanoseconds = 0;
    std::uint64_t m_hash = 0;
};

} // namespace meridal
