#include "dialogs/HelpFile.h"

#include "platform/Error.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace {

const QString kMagic = QStringLiteral("TAVREL HELP 1");
const QString kContents = QStringLiteral("help:contents");

[[noreturn]] void BadLine(qsizetype number) {
    throw EError(QStringLiteral("Help File Error (line %1)").arg(number));
}

// "@topic NUMBER TITLE": a positive context not used before and a title.
THelpTopic TopicHeader(const QString& line, qsizetype number, const THelpFile& file) {
    const QString rest = line.mid(7).trimmed();
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    bool ok = false;
    const int context = rest.left(blank).toInt(&ok);
    const QString title = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
    if (!ok || context <= 0 || title.isEmpty() || file.Find(context))
        BadLine(number);
    return {context, title, {}};
}

} // namespace

THelpFile THelpFile::Parse(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (lines.isEmpty() || lines.first().trimmed() != kMagic)
        BadLine(1);
    THelpFile file;
    QString* body = nullptr;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1String("@title "))) {
            file.Title = line.mid(7).trimmed();
            body = nullptr;
        } else if (line.trimmed() == QLatin1String("@contents")) {
            body = &file.Intro;
        } else if (line.startsWith(QLatin1String("@topic "))) {
            file.Topics.push_back(TopicHeader(line, i + 1, file));
            body = &file.Topics.back().body;
        } else if (line.startsWith(QLatin1Char('@'))) {
            BadLine(i + 1);
        } else if (body) {
            body->append(line).append(QLatin1Char('\n'));
        } else if (!line.trimmed().isEmpty()) {
            BadLine(i + 1);
        }
    }
    return file;
}

THelpFile THelpFile::Load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EError(QStringLiteral("ヘルプファイルが見つかりません。\r\r") +
                     QDir::toNativeSeparators(path));
    if (f.size() > kMaxSize)
        throw EError(QStringLiteral("Help File Error"));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(f.readAll());
    if (utf8.hasError())
        throw EError(QStringLiteral("Help File Error"));
    return Parse(text);
}

const THelpTopic* THelpFile::Find(int context) const {
    auto it = std::find_if(Topics.begin(), Topics.end(),
                           [context](const THelpTopic& t) { return t.context == context; });
    return it == Topics.end() ? nullptr : &*it;
}

QString THelpFile::Address(int context) {
    return QStringLiteral("help:%1").arg(context);
}

QString THelpFile::ContentsHtml() const {
    QString html = QStringLiteral("<h2>%1</h2>\n%2<ul>\n").arg(Title.toHtmlEscaped(), Intro);
    for (const THelpTopic& t : Topics)
        html += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n")
                    .arg(Address(t.context), t.title.toHtmlEscaped());
    return html + QStringLiteral("</ul>\n");
}

QString THelpFile::PageHtml(const QString& address) const {
    if (address.startsWith(QLatin1String("help:")) && address != kContents) {
        bool ok = false;
        const int context = address.mid(5).toInt(&ok);
        if (const THelpTopic* topic = ok ? Find(context) : nullptr)
            return QStringLiteral("<h2>%1</h2>\n%2<hr><p><a href=\"%3\">目次</a></p>\n")
                .arg(topic->title.toHtmlEscaped(), topic->body, kContents);
    }
    return ContentsHtml();
}

QString ResolveHelpFile(const QString& name) {
    if (QFileInfo(name).isAbsolute())
        return name;
    const QDir exe(Settings::ExecutableFolder());
    const QString beside = exe.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir(Settings::InstalledDataFolder()).filePath(name);
    return QFileInfo::exists(installed) ? installed : beside;
}
