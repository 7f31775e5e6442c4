#include "platform/IniFile.h"

#include "platform/Error.h"
#include "platform/SafeFile.h"
#include "platform/SjisCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <vector>

namespace {

struct IniLine {
    QString key; // empty for a line without "="
    QString value;
    QString raw;
};

struct IniSection {
    QString name;
    std::vector<IniLine> lines;
};

// The whole file in memory.
class IniImage {
  public:
    // Missing file: empty image. A file that exists but cannot be read raises.
    explicit IniImage(const QString& fileName);
    bool Exists() const { return exists_; }
    const QString& Unreadable() const { return unreadable_; }
    IniLine* Find(const QString& section, const QString& key);
    void Set(const QString& section, const QString& key, const QString& value);
    bool Save() const;

  private:
    void Parse(const QString& text);
    QString Decode(const QByteArray& bytes);
    IniSection* FindSection(const QString& name);

    QString fileName_;
    bool exists_ = false;
    // Written back in the encoding it was found in, and only when a value changed.
    bool shiftJis_ = false;
    bool changed_ = false;
    QString unreadable_;
    std::vector<IniSection> sections_;
};

bool ValidUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes); // the decoder runs only when its result is taken
    return !utf8.hasError();
}

// Old installations wrote the file in the Windows code page; take whichever decoding is clean.
QString IniImage::Decode(const QByteArray& bytes) {
    if (ValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    if (Sjis::IsValid(bytes)) {
        shiftJis_ = true;
        return Sjis::Decode(bytes);
    }
    QStringList lines;
    for (const QByteArray& line : bytes.split('\n')) {
        const bool utf8 = ValidUtf8(line);
        if (!utf8 && !Sjis::IsValid(line) && unreadable_.isEmpty())
            unreadable_ = QStringLiteral("%1: %2 行目を読めません (line %2 cannot be read)")
                              .arg(fileName_)
                              .arg(lines.size() + 1);
        lines << (utf8 ? QString::fromUtf8(line) : Sjis::Decode(line));
    }
    return lines.join(QLatin1Char('\n'));
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

IniImage::IniImage(const QString& fileName) : fileName_(fileName) {
    QFileInfo info(fileName);
    exists_ = info.exists();
    if (!exists_)
        return;
    QFile file(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw EError(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    Parse(Decode(file.readAll()));
}

void IniImage::Parse(const QString& text) {
    IniSection* current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            current = FindSection(name);
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current)
            continue; // lines before the first section belong to nothing
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            current->lines.push_back({{}, {}, line});
        else
            current->lines.push_back({line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), {}});
    }
}

IniSection* IniImage::FindSection(const QString& name) {
    for (IniSection& s : sections_)
        if (SameName(s.name, name))
            return &s;
    return nullptr;
}

IniLine* IniImage::Find(const QString& section, const QString& key) {
    IniSection* s = FindSection(section);
    if (!s)
        return nullptr;
    for (IniLine& line : s->lines)
        if (!line.key.isEmpty() && SameName(line.key, key))
            return &line;
    return nullptr;
}

void IniImage::Set(const QString& section, const QString& key, const QString& value) {
    if (IniLine* line = Find(section, key)) {
        changed_ = changed_ || line->value != value;
        line->value = value;
        return;
    }
    changed_ = true;
    IniSection* s = FindSection(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    s->lines.push_back({key, value, {}});
}

bool IniImage::Save() const {
    if (exists_ && !changed_)
        return true;
    if (!unreadable_.isEmpty())
        return false; // rewriting would lose what could not be read
    QString text;
    for (const IniSection& s : sections_) {
        text += QLatin1Char('[') + s.name + QStringLiteral("]\r\n");
        for (const IniLine& line : s.lines)
            text += (line.key.isEmpty() ? line.raw : line.key + QLatin1Char('=') + line.value) +
                    QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    bool encoded = true;
    const QByteArray bytes = shiftJis_ ? Sjis::TryEncode(text, &encoded) : text.toUtf8();
    if (!encoded)
        return false;
    try {
        // A link planted at the name is replaced, never written through.
        WriteWholeFile(fileName_, bytes, {});
        return true;
    } catch (const EError&) {
        return false;
    }
}

template <class Write> bool TryWrite(Write write) {
    try {
        return write();
    } catch (...) {
        return false;
    }
}

// Reads a key, writing the default into the file first when the key is missing.
template <class T, class Parse, class WriteDefault>
T ReadValue(const QString& fileName, const QString& section, const QString& key, T defaultValue,
            Parse parse, WriteDefault writeDefault) {
    IniImage image(fileName);
    const IniLine* line = image.Find(section, key);
    if (!line) {
        writeDefault();
        return defaultValue;
    }
    return parse(line->value);
}

} // namespace

bool ParseIniInteger(const QString& text, int* value) {
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1);
    }
    bool ok = false;
    qint64 n = 0;
    if (t.startsWith(QLatin1Char('$')) && t.size() >= 2) {
        n = static_cast<qint32>(t.mid(1).toUInt(&ok, 16));
    } else if (t.size() >= 3 && t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        n = static_cast<qint32>(t.mid(2).toUInt(&ok, 16));
    } else if (!t.isEmpty() && t.at(0).isDigit()) {
        n = t.toLongLong(&ok, 10);
    }
    if (!ok)
        return false;
    n = negative ? -n : n;
    if (n < INT32_MIN || n > INT32_MAX)
        return false;
    *value = static_cast<int>(n);
    return true;
}

bool IniFileCheck(const QString& fileName) {
    IniImage image(fileName);
    if (!image.Exists())
        image.Save();
    return QFileInfo::exists(fileName);
}

QString IniUnreadableLine(const QString& fileName) {
    return IniImage(fileName).Unreadable();
}

bool IniValueExists(const QString& fileName, const QString& section, const QString& key) {
    IniImage image(fileName);
    return image.Find(section, key) != nullptr;
}

QString IniReadString(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue) {
    return ReadValue(
        fileName, section, key, defaultValue, [](const QString& v) { return v; },
        [&] { IniWriteString(fileName, section, key, defaultValue); });
}

int IniReadInteger(const QString& fileName, const QString& section, const QString& key,
                   int defaultValue) {
    return ReadValue(
        fileName, section, key, defaultValue,
        [defaultValue](const QString& v) {
            int n = defaultValue;
            return ParseIniInteger(v, &n) ? n : defaultValue;
        },
        [&] { IniWriteInteger(fileName, section, key, defaultValue); });
}

bool IniReadBool(const QString& fileName, const QString& section, const QString& key,
                 bool defaultValue) {
    return IniReadInteger(fileName, section, key, defaultValue ? 1 : 0) != 0;
}

bool IniWriteString(const QString& fileName, const QString& section, const QString& key,
                    const QString& value) {
    return TryWrite([&] {
        IniImage image(fileName);
        image.Set(section, key, value);
        return image.Save();
    });
}

bool IniWriteInteger(const QString& fileName, const QString& section, const QString& key,
                     int value) {
    return IniWriteString(fileName, section, key, QString::number(value));
}

bool IniWriteBool(const QString& fileName, const QString& section, const QString& key, bool value) {
    return IniWriteString(fileName, section, key,
                          value ? QStringLiteral("1") : QStringLiteral("0"));
}
