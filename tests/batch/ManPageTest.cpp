#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <utility>

namespace {

// Options with their value names ("--design NAME", "--help") and exit statuses with their text.
struct Documented {
    QStringList options;
    QMap<int, QString> statuses;
};

QString HelpOutput() {
    QProcess p;
    p.start(QStringLiteral(TAVREL_BATCH_PROGRAM), {QStringLiteral("--help")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

Documented FromHelp(const QString& help) {
    Documented d;
    const QRegularExpression option(QStringLiteral(R"(^\s+(?:-\w, )?(--[a-z-]+)(?: <(\w+)>)?\s)"));
    const QRegularExpression status(QStringLiteral(R"(^\s+(\d+)\s\s+(.+)$)"));
    bool exits = false;
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        exits = exits || line.startsWith(QLatin1String("Exit status"));
        if (const auto m = option.match(line); m.hasMatch() && !exits)
            d.options << (m.captured(1) + QLatin1Char(' ') + m.captured(2)).trimmed();
        if (const auto m = status.match(line); m.hasMatch() && exits)
            d.statuses[m.captured(1).toInt()] = m.captured(2);
    }
    return d;
}

Documented FromManPage(const QString& path, const QString& optionsHeading,
                       const QString& exitHeading) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    Documented d;
    const QRegularExpression option(
        QStringLiteral(R"(^(?:\*-\w\*, )?\*(--[a-z-]+)\*(?: _(\w+)_)?$)"));
    const QRegularExpression status(QStringLiteral(R"(^\*(\d+)\*$)"));
    QString section;
    int lastStatus = -1;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("# ")))
            section = line.mid(2);
        else if (const auto m = option.match(line); m.hasMatch() && section == optionsHeading)
            d.options << (m.captured(1) + QLatin1Char(' ') + m.captured(2)).trimmed();
        else if (const auto s = status.match(line); s.hasMatch() && section == exitHeading)
            lastStatus = s.captured(1).toInt();
        else if (line.startsWith(QLatin1Char('\t')) && lastStatus >= 0 && section == exitHeading)
            d.statuses[std::exchange(lastStatus, -1)] = line.trimmed();
    }
    return d;
}

// A status text as both write it: no blanks, no closing full stop, one case.
QString Plain(QString text) {
    text.remove(QRegularExpression(QStringLiteral(R"(\s)")));
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QChar(0x3002)))
        text.chop(1);
    return text.toLower();
}

// The help text's "english (日本語)" in the language of one page.
QString InLanguage(const QString& helpText, bool japanese) {
    static const QRegularExpression pair(QStringLiteral(R"(^(.*?)(?: \((.*)\))?$)"));
    const auto m = pair.match(helpText);
    return m.captured(japanese ? 2 : 1);
}

TEST(ManPage, EveryOptionAndExitStatusOfTheHelpIsDocumentedInBothLanguages) {
    const Documented help = FromHelp(HelpOutput());
    ASSERT_GE(help.options.size(), 10);
    ASSERT_GE(help.statuses.size(), 5);
    const struct {
        const char* page;
        const char* optionsHeading;
        const char* exitHeading;
        bool japanese;
    } pages[] = {{"share/man/tavrel-batch.1.scd", "OPTIONS", "EXIT STATUS", false},
                 {"share/man/ja/tavrel-batch.1.scd", "オプション", "終了ステータス", true}};
    for (const auto& page : pages) {
        SCOPED_TRACE(page.page);
        const Documented man = FromManPage(QStringLiteral(TAVREL_SOURCE_DIR "/") + page.page,
                                           QString::fromUtf8(page.optionsHeading),
                                           QString::fromUtf8(page.exitHeading));
        EXPECT_EQ(man.options.join(QLatin1Char(',')).toStdString(),
                  help.options.join(QLatin1Char(',')).toStdString());
        EXPECT_EQ(man.statuses.keys(), help.statuses.keys());
        for (auto it = help.statuses.cbegin(); it != help.statuses.cend(); ++it) {
            const QString expected = InLanguage(it.value(), page.japanese);
            if (!expected.isEmpty()) {
                EXPECT_EQ(Plain(man.statuses.value(it.key())).toStdString(),
                          Plain(expected).toStdString())
                    << "status " << it.key();
            }
        }
    }
}

} // namespace
