#include "printcore/TextLayoutCache.h"

#include "printcore/VerticalLayout.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

QByteArray TTextLayoutKey::MergedText(const QByteArray& design, const QStringList& columns,
                                      const QStringList& values) {
    // Separators no list value holds: a list cannot carry control characters into a field name.
    return design + '\x1e' + columns.join(QChar(0x1f)).toUtf8() + '\x1e' +
           values.join(QChar(0x1f)).toUtf8();
}

QString TTextLayoutKey::FontSubstitutions() {
    QStringList all;
    for (const QString& family : QFont::substitutions())
        all << family + QLatin1Char('=') + QFont::substitutes(family).join(QLatin1Char(','));
    return all.join(QLatin1Char(';'));
}

size_t qHash(const TTextLayoutKey& key, size_t seed) {
    return qHashMulti(seed, key.text, key.box.width(), key.box.height(), key.direction, key.fonts);
}

TLaidOutText::TLaidOutText(std::unique_ptr<QTextDocument> text) : doc(std::move(text)) {}

TLaidOutText::~TLaidOutText() = default;

std::shared_ptr<TLaidOutText> TTextLayoutCache::Get(const TTextLayoutKey& key, const Make& make) {
    auto found = entries_.find(key);
    if (found == entries_.end()) {
        if (entries_.size() >= capacity_)
            DropOldest();
        std::unique_ptr<QTextDocument> doc = make();
        KeepShaping(*doc);
        found = entries_.insert(key, Entry{std::make_shared<TLaidOutText>(std::move(doc)), 0});
    }
    found->used = ++clock_;
    return found->text;
}

void TTextLayoutCache::DropOldest() {
    const auto oldest =
        std::min_element(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.used < b.used; });
    if (oldest != entries_.end())
        entries_.erase(oldest);
}

void TTextLayoutCache::KeepShaping(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
}
