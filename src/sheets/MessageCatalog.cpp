#include "sheets/MessageCatalog.h"

#include <QFile>
#include <QtEndian>
#include <optional>

namespace {

constexpr quint32 kMagic = 0x950412de;
// Nothing a template package ships comes near; a bigger file is not a catalogue.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

// Reads the file's words in the byte order its magic number shows.
class MoReader {
  public:
    explicit MoReader(const QByteArray& bytes) : bytes_(bytes) {
        const auto first = Word(0, false);
        swapped_ = first && *first != kMagic;
        valid_ = first && (*first == kMagic || qbswap(*first) == kMagic);
    }
    bool Valid() const { return valid_; }

    std::optional<quint32> Word(qint64 at, bool swapped) const {
        if (at < 0 || at + 4 > bytes_.size())
            return std::nullopt;
        const quint32 w = qFromLittleEndian<quint32>(bytes_.constData() + at);
        return swapped ? qbswap(w) : w;
    }
    std::optional<quint32> Word(qint64 at) const { return Word(at, swapped_); }

    // The string of table entry i: its length and offset, checked against the file.
    std::optional<QString> String(quint32 table, quint32 i) const {
        const qint64 entry = static_cast<qint64>(table) + 8LL * i;
        const auto length = Word(entry), offset = Word(entry + 4);
        if (!length || !offset || static_cast<qint64>(*offset) + *length > bytes_.size())
            return std::nullopt;
        return QString::fromUtf8(bytes_.constData() + *offset, static_cast<qsizetype>(*length));
    }

  private:
    const QByteArray& bytes_;
    bool swapped_ = false;
    bool valid_ = false;
};

} // namespace

bool MessageCatalog::Load(const QString& fileName) {
    translations_.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return false;
    const QByteArray bytes = file.readAll();
    const MoReader mo(bytes);
    const auto count = mo.Word(8), originals = mo.Word(12), translated = mo.Word(16);
    if (!mo.Valid() || !count || !originals || !translated)
        return false;
    QHash<QString, QString> read;
    for (quint32 i = 0; i < *count; ++i) {
        const auto english = mo.String(*originals, i), japanese = mo.String(*translated, i);
        if (!english || !japanese)
            return false;
        // Plural forms keep their first form; entries with a context are not template texts.
        const QString key = english->section(QChar(0), 0, 0);
        if (!key.isEmpty() && !key.contains(QChar(4)))
            read.insert(key, japanese->section(QChar(0), 0, 0));
    }
    translations_ = std::move(read);
    return true;
}

QString MessageCatalog::Translate(const QString& english) const {
    const QString japanese = translations_.value(english);
    return japanese.isEmpty() ? english : japanese;
}

QString InstalledTemplateTranslations() {
    return QStringLiteral("/usr/share/locale/ja/LC_MESSAGES/glabels-3.0.mo");
}
