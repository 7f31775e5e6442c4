#include "platform/IniFile.h"

#include "platform/Error.h"
#include "platform/SjisCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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
    IniLine* Find(const QString& section, const QString& key);
    void Set(const QString& section, const QString& key, const QString& value);
    bool Save() const;

  private:
    void Parse(const QString& text);
    IniSection* FindSection(const QString& name);

    QString fileName_;
    bool exists_ = false;
    std::vector<IniSection> sections_;
};

// Old installations wrote the file in the Windows code page; take whichever decoding is clean.
QString DecodeFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    if (Sjis::IsValid(bytes))
        return Sjis::Decode(bytes);
    return QString::fromLatin1(bytes);
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
    Parse(DecodeFile(file.readAll()));
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
        line->value = value;
        return;
    }
    IniSection* s = FindSection(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    s->lines.push_back({key, value, {}});
}

bool IniImage::Save() const {
    QString text;
    for (const IniSection& s : sections_) {
        text += QLatin1Char('[') + s.name + QStringLiteral("]\r\n");
        for (const IniLine& line : s.lines)
            text += (line.key.isEmpty() ? line.raw : line.key + QLatin1Char('=') + line.value) +
                    QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    QSaveFile file(fileName_);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
