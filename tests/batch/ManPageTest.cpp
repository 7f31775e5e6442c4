#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Options with their value names ("--design NAME") and exit statuses with their texts.
struct Documented {
    QStringList options;
    QMap<int, QString> statuses;
};

// Lines of the options and of the exit statuses, each with its two captures.
Documented Read(const QString& text, const QString& option, const QString& status) {
    Documented d;
    for (const auto& m :
         QRegularExpression(option, QRegularExpression::MultilineOption).globalMatch(text))
        d.options << (m.captured(1) + QLatin1Char(' ') + m.captured(2)).trimmed();
    for (const auto& m :
         QRegularExpression(status, QRegularExpression::MultilineOption).globalMatch(text))
        d.statuses[m.captured(1).toInt()] = m.captured(2);
    return d;
}

// A status text as both write it: no blanks, no closing full stop, one case.
QString Plain(QString text) {
    text.remove(QRegularExpression(QStringLiteral(R"(\s|[.。]$)")));
    return text.toLower();
}

TEST(ManPage, EveryOptionAndExitStatusOfTheHelpIsDocumentedInBothLanguages) {
    QProcess p;
    p.start(QStringLiteral(TAVREL_BATCH_PROGRAM), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(60000));
    // "  --top <TENTHS>   text" and, after "Exit status:", "  6  english (日本語)".
    const Documented help =
        Read(QString::fromUtf8(p.readAllStandardOutput()),
             R"(^\s+(?:-\w, )?(--[a-z-]+)(?: <(\w+)>)?\s)", R"(^  (\d+)  (.+)$)");
    ASSERT_GE(help.options.size(), 10);
    ASSERT_GE(help.statuses.size(), 5);
    for (const auto& [page, japanese] : {std::pair{"share/man/tavrel-batch.1.scd", false},
                                         std::pair{"share/man/ja/tavrel-batch.1.scd", true}}) {
        SCOPED_TRACE(page);
        QFile f(QStringLiteral(TAVREL_SOURCE_DIR "/") + page);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        // "*--top* _TENTHS_" and "*6*" with its text on the next, indented line.
        const Documented man =
            Read(QString::fromUtf8(f.readAll()), R"(^(?:\*-\w\*, )?\*(--[a-z-]+)\*(?: _(\w+)_)?$)",
                 R"(^\*(\d+)\*\n\t(.+)$)");
        EXPECT_EQ(man.options.join(' ').toStdString(), help.options.join(' ').toStdString());
        EXPECT_EQ(man.statuses.keys(), help.statuses.keys());
        static const QRegularExpression pair(QStringLiteral(R"(^(.*?)(?: \((.*)\))?$)"));
        for (auto it = help.statuses.cbegin(); it != help.statuses.cend(); ++it) {
            const QString expected = pair.match(it.value()).captured(japanese ? 2 : 1);
            if (!expected.isEmpty()) {
                EXPECT_EQ(Plain(man.statuses.value(it.key())).toStdString(),
                          Plain(expected).toStdString())
                    << "status " << it.key();
            }
        }
    }
}

} // namespace
