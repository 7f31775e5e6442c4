#pragma once

#include <QByteArray>
#include <QHash>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>

class QTextDocument;
class TVerticalLayout;

// What decides how a label text is drawn. Two cells whose keys are equal draw alike, so the text
// is laid out once for both.
struct TTextLayoutKey {
    // The text as it is drawn: the stored text, followed for a merged label by what the merge
    // substitutes (see MergedText).
    QByteArray text;
    // The room the text is laid out in, in printer dots.
    QSizeF box;
    // 0 horizontal; another flow of lines gives its own value.
    int direction = 0;
    // The font substitutions in force (see FontSubstitutions).
    QString fonts;

    bool operator==(const TTextLayoutKey&) const = default;
    // The text of a design with the values of one merge row.
    static QByteArray MergedText(const QByteArray& design, const QStringList& columns,
                                 const QStringList& values);
    static QString FontSubstitutions();
};
size_t qHash(const TTextLayoutKey& key, size_t seed = 0);

// A label text laid out, and its vertical setting once it has been drawn so.
struct TLaidOutText {
    explicit TLaidOutText(std::unique_ptr<QTextDocument> text);
    ~TLaidOutText();
    std::unique_ptr<QTextDocument> doc;
    std::unique_ptr<TVerticalLayout> vertical;
};

// Laid-out label texts, the most recently drawn kept up to a bound. Each keeps the glyphs it was
// shaped into, so drawing it again draws them without shaping the text again.
class TTextLayoutCache {
  public:
    explicit TTextLayoutCache(qsizetype capacity = 64) : capacity_(capacity) {}
    using Make = std::function<std::unique_ptr<QTextDocument>()>;
    // The text under key; its document is made when missing.
    std::shared_ptr<TLaidOutText> Get(const TTextLayoutKey& key, const Make& make);
    // Every block of doc keeps the glyphs it is shaped into from its next layout on.
    static void KeepShaping(QTextDocument& doc);

  private:
    struct Entry {
        std::shared_ptr<TLaidOutText> text;
        quint64 used = 0;
    };
    void DropOldest();

    QHash<TTextLayoutKey, Entry> entries_;
    qsizetype capacity_;
    quint64 clock_ = 0;
};
