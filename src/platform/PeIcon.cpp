#include "platform/PeIcon.h"

#include "platform/ByteReader.h"

namespace PeIcon {
namespace {

constexpr quint32 kIconType = 3;
constexpr quint32 kIconGroupType = 14;
constexpr quint32 kResourceDirectory = 2;
constexpr quint32 kSubdirectory = 0x80000000u;

struct Section {
    quint32 address;
    quint32 size;
    quint32 fileOffset;
    quint32 fileSize;
};

// The parts of the headers the resource directory needs.
class Image {
  public:
    explicit Image(const QByteArray& file) : in_(file, InvalidText()) {
        const qint64 pe = in_.U32(0x3C);
        const qint64 optional = pe + 24;
        const int sections = in_.U16(pe + 6);
        const qint64 optionalSize = in_.U16(pe + 20);
        const quint16 magic = in_.U16(optional);
        if (magic != 0x10B && magic != 0x20B)
            in_.Fail();
        const qint64 directories = optional + (magic == 0x20B ? 112 : 96);
        const quint32 count = in_.U32(directories - 4);
        if (count > kResourceDirectory && directories + 8 * 3 <= optional + optionalSize) {
            resourceRva_ = in_.U32(directories + 8 * kResourceDirectory);
            resourceSize_ = in_.U32(directories + 8 * kResourceDirectory + 4);
        }
        const qint64 table = optional + optionalSize;
        for (int i = 0; i < sections; ++i) {
            const qint64 at = table + 40 * i;
            sections_.push_back(
                {in_.U32(at + 12), in_.U32(at + 8), in_.U32(at + 20), in_.U32(at + 16)});
        }
    }

    const ByteReader& In() const { return in_; }
    bool HasResources() const { return resourceRva_ != 0 && resourceSize_ != 0; }
    qint64 ResourceRoot() const { return FileOffset(resourceRva_, 16); }

    // Where `length` bytes at a relative virtual address lie in the file.
    qint64 FileOffset(quint32 rva, qint64 length) const {
        for (const Section& s : sections_) {
            const qint64 extent = std::max(s.size, s.fileSize);
            if (rva >= s.address && rva - qint64(s.address) < extent) {
                const qint64 offset = qint64(s.fileOffset) + (rva - s.address);
                if (rva - qint64(s.address) + length > s.fileSize)
                    in_.Fail();
                in_.Need(offset, length);
                return offset;
            }
        }
        in_.Fail();
    }

  private:
    ByteReader in_;
    quint32 resourceRva_ = 0;
    quint32 resourceSize_ = 0;
    std::vector<Section> sections_;
};

struct DirectoryEntry {
    quint32 name;   // an identifier, or kSubdirectory | offset of a name
    quint32 target; // kSubdirectory | offset of a directory, or offset of a data entry
};

// Named entries come first, then identifiers in ascending order, as the linker sorts them.
std::vector<DirectoryEntry> Entries(const Image& image, qint64 root, quint32 offset) {
    const ByteReader& in = image.In();
    const qint64 at = root + offset;
    const int count = in.U16(at + 12) + in.U16(at + 14);
    in.Need(at + 16, 8 * qint64(count));
    std::vector<DirectoryEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({in.U32(at + 16 + 8 * i), in.U32(at + 20 + 8 * i)});
    return entries;
}

// The first data of a resource below a directory entry, whatever its language.
QByteArray FirstData(const Image& image, qint64 root, DirectoryEntry entry) {
    for (int depth = 0; entry.target & kSubdirectory; ++depth) {
        const auto below = Entries(image, root, entry.target & ~kSubdirectory);
        if (below.empty() || depth > 1)
            image.In().Fail();
        entry = below.front();
    }
    const ByteReader& in = image.In();
    const qint64 dataEntry = root + entry.target;
    const quint32 size = in.U32(dataEntry + 4);
    return in.Mid(image.FileOffset(in.U32(dataEntry), size), size);
}

std::optional<DirectoryEntry> Find(const std::vector<DirectoryEntry>& entries, quint32 id) {
    for (const DirectoryEntry& e : entries)
        if (e.name == id)
            return e;
    return std::nullopt;
}

std::optional<DirectoryEntry> TypeDirectory(const Image& image, qint64 root, quint32 type) {
    const auto found = Find(Entries(image, root, 0), type);
    if (found && !(found->target & kSubdirectory))
        image.In().Fail();
    return found;
}

// The icon group lists its images like an icon file, with resource identifiers for offsets.
quint16 ChosenIconId(const QByteArray& group) {
    const ByteReader in(group, InvalidText());
    const int count = in.U16(4);
    if (in.U16(2) != 1 || count == 0)
        in.Fail();
    QList<IconFile::Entry> entries;
    for (int i = 0; i < count; ++i) {
        const qint64 at = 6 + 14 * i;
        entries.append(
            {in.U8(at) ? in.U8(at) : 256, in.U8(at + 1) ? in.U8(at + 1) : 256, in.U16(at + 6)});
    }
    return in.U16(6 + 14 * IconFile::PickEntry(entries) + 12);
}

} // namespace

QString InvalidText() {
    return QStringLiteral("Executable file is not valid");
}

bool IsExecutable(const QByteArray& file) {
    const ByteReader in(file, InvalidText());
    if (!in.Has(0, 0x40) || !file.startsWith("MZ"))
        return false;
    const qint64 pe = in.U32(0x3C);
    return in.Has(pe, 4) && file.mid(pe, 4) == QByteArray("PE\0\0", 4);
}

std::optional<Icon> FirstIcon(const QByteArray& file) {
    if (!IsExecutable(file))
        return std::nullopt;
    const Image image(file);
    if (!image.HasResources())
        return std::nullopt;
    const qint64 root = image.ResourceRoot();
    const auto groups = TypeDirectory(image, root, kIconGroupType);
    const auto icons = TypeDirectory(image, root, kIconType);
    if (!groups || !icons)
        return std::nullopt;
    const auto groupEntries = Entries(image, root, groups->target & ~kSubdirectory);
    if (groupEntries.empty())
        return std::nullopt;
    const quint16 id = ChosenIconId(FirstData(image, root, groupEntries.front()));
    const auto icon = Find(Entries(image, root, icons->target & ~kSubdirectory), id);
    if (!icon)
        image.In().Fail();
    return IconFile::DecodeImage(FirstData(image, root, *icon));
}

} // namespace PeIcon
