// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/elf_section.h"

#include <cerrno>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace meridal::platform::qt {

namespace {

// The file, open for reading (and never inherited by a program started meanwhile) until the
// object goes.
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~ReadOnlyFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    std::uint64_t size() const
    {
        struct stat st {};
        return ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    }

    int descriptor() const { return m_fd; }

  private:
    int m_fd;
};

// Reads `size` bytes at `offset` into `out`; false when the file is shorter.
bool readAt(const ReadOnlyFile& file, std::uint64_t offset, std::uint64_t size, void* out)
{
    auto* bytes = static_cast<char*>(out);
    while (size > 0) {
        const ssize_t n = ::pread(file.descriptor(), bytes, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::uint64_t>(n);
    }
    return true;
}

// Sections larger than this are not what the program looks for.
constexpr std::uint64_t maxSectionSize = 1 << 20;

} // namespace

std::optional<std::string> readElfSection(const std::string& path, const std::string& name)
{
    const ReadOnlyFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    const std::uint64_t fileSize = file.size();

    ElfW(Ehdr) header{};
    if (!readAt(file, 0, sizeof header, &header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return std::nullopt;
#if __WORDSIZE == 64
    constexpr unsigned char elfClass = ELFCLASS64;
#else
    constexpr unsigned char elfClass = ELFCLASS32;
#endif
#if __BYTE_ORDER == __LITTLE_ENDIAN
    constexpr unsigned char byteOrder = ELFDATA2LSB;
#else
    constexpr unsigned char byteOrder = ELFDATA2MSB;
#endif
    if (header.e_ident[EI_CLASS] != elfClass || header.e_ident[EI_DATA] != byteOrder ||
        header.e_shentsize != sizeof(ElfW(Shdr)) || header.e_shoff == 0)
        return std::nullopt;

    // Section 0 holds the count and the names' index when they do not fit the header.
    ElfW(Shdr) first{};
    if (!readAt(file, header.e_shoff, sizeof first, &first))
        return std::nullopt;
    const std::uint64_t count = header.e_shnum != 0 ? header.e_shnum : first.sh_size;
    const std::uint64_t namesIndex = header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : first.sh_link;
    if (count == 0 || count > fileSize / sizeof(ElfW(Shdr)) || namesIndex >= count ||
        header.e_shoff > fileSize - count * sizeof(ElfW(Shdr)))
        return std::nullopt;

    std::vector<ElfW(Shdr)> sections(count);
    if (!readAt(file, header.e_shoff, count * sizeof(ElfW(Shdr)), sections.data()))
        return std::nullopt;
    const auto contents = [&](const ElfW(Shdr) & section) -> std::optional<std::string> {
        if (section.sh_type == SHT_NOBITS || section.sh_size > maxSectionSize ||
            section.sh_offset > fileSize || section.sh_size > fileSize - section.sh_offset)
            return std::nullopt;
        std::string bytes(section.sh_size, '\0');
        if (!readAt(file, section.sh_offset, section.sh_size, bytes.data()))
            return std::nullopt;
        return bytes;
    };

    const std::optional<std::string> names = contents(sections[namesIndex]);
    if (!names)
        return std::nullopt;
    for (const ElfW(Shdr) & section : sections) {
        if (section.sh_name >= names->size())
            continue;
        if (std::strcmp(names->c_str() + section.sh_name, name.c_str()) == 0)
            return contents(section);
    }
    return std::nullopt;
}

} // namespace meridal::platform::qt
