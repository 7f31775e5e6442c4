#include "platform/SjisCodec.h"

#include "platform/Error.h"

#include <QList>
#include <cerrno>
#include <iconv.h>

namespace {

// Owns one iconv descriptor.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Converts as much as possible; returns the offset of the first bad input byte, or -1.
qsizetype Convert(const IconvHandle& cd, const QByteArray& in, QByteArray* out, bool skipInvalid,
                  const QByteArray& replacement) {
    out->clear();
    out->reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    char buffer[4096];
    qsizetype firstBad = -1;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
        out->append(buffer, static_cast<qsizetype>(dst - buffer));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        if (firstBad < 0)
            firstBad = src - in.constData();
        if (!skipInvalid)
            return firstBad;
        out->append(replacement);
        ++src; // EILSEQ or EINVAL (truncated sequence): drop one byte and go on
        --srcLeft;
    }
    // Stateful code pages hold back their last character until flushed.
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
    out->append(buffer, static_cast<qsizetype>(dst - buffer));
    return firstBad;
}

const QByteArray kUtf16Replacement = QByteArray("\xFD\xFF", 2); // U+FFFD, little endian

// Most label text and every statement is plain ASCII: no conversion needed.
bool IsAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool IsAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

QString FromUtf16Le(const QByteArray& bytes) {
    return QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
}

QByteArray ToUtf16Le(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Raises naming the first character that does not pass, so the user can find it.
template <class Passes> [[noreturn]] void RaiseForFirst(const QString& text, const Passes& passes) {
    for (int i = 0; i < text.size(); ++i) {
        const int len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, len);
        if (!passes(one))
            throw EError(QStringLiteral("文字「%1」(U+%2) はShift-JISで保存できません。")
                             .arg(one)
                             .arg(QString::number(one.toUcs4().value(0), 16)
                                      .toUpper()
                                      .rightJustified(4, QLatin1Char('0'))));
        i += len - 1;
    }
    throw EError(QStringLiteral("Shift-JISへの変換に失敗しました。"));
}

} // namespace

namespace Sjis {

QByteArray TryEncode(const QString& text, bool* ok) {
    if (IsAscii(text)) {
        *ok = true;
        return text.toLatin1();
    }
    thread_local IconvHandle cd("CP932", "UTF-16LE");
    QByteArray out;
    const qsizetype bad = Convert(cd, ToUtf16Le(text), &out, false, {});
    *ok = cd.valid() && bad < 0;
    return out;
}

QByteArray Encode(const QString& text) {
    bool ok = false;
    QByteArray out = TryEncode(text, &ok);
    if (!ok)
        RaiseForFirst(text, [](const QString& one) {
            bool fits = false;
            TryEncode(one, &fits);
            return fits;
        });
    return out;
}

bool FitsDatabase(const QString& text) {
    if (IsAscii(text))
        return true;
    bool ok = false;
    const QByteArray bytes = TryEncode(text, &ok);
    // The database's Shift-JIS is JIS X 0208 and half-width kana only; its converter refuses
    // the code page's NEC and IBM extension rows and the user-defined area.
    thread_local IconvHandle cd("UTF-16LE", "SHIFT_JIS");
    QByteArray out;
    return ok && cd.valid() && Convert(cd, bytes, &out, false, {}) < 0;
}

void CheckFitsDatabase(const QString& text) {
    if (!FitsDatabase(text))
        RaiseForFirst(text, [](const QString& one) { return FitsDatabase(one); });
}

QString Decode(const QByteArray& bytes) {
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    thread_local IconvHandle cd("UTF-16LE", "CP932");
    QByteArray out;
    Convert(cd, bytes, &out, true, kUtf16Replacement);
    return FromUtf16Le(out);
}

bool IsValid(const QByteArray& bytes) {
    IconvHandle cd("UTF-16LE", "CP932");
    QByteArray out;
    return Convert(cd, bytes, &out, false, {}) < 0;
}

bool DecodeWith(const char* iconvName, const QByteArray& bytes, QString* out) {
    IconvHandle cd("UTF-16LE", iconvName);
    if (!cd.valid())
        return false;
    QByteArray buffer;
    Convert(cd, bytes, &buffer, true, kUtf16Replacement);
    *out = FromUtf16Le(buffer);
    return true;
}

} // namespace Sjis
