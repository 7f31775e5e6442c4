#pragma once

#include <QString>
#include <vector>

// One topic of the help file, reached by its help context number.
struct THelpTopic {
    int context = 0;
    QString title;
    QString body; // rich text (a subset of HTML)
};

// The program's help file: UTF-8 text. The first line is "TAVREL HELP 1"; "@title" names the
// help, the lines after "@contents" introduce the contents page, and each "@topic NUMBER TITLE"
// begins a topic whose body runs to the next line starting with "@". Links between topics are
// written href="help:NUMBER", the contents page is "help:contents".
class THelpFile {
  public:
    static constexpr qint64 kMaxSize = 4 * 1024 * 1024;

    // Raises "Help File Error" (with the line) for text that does not follow the form.
    static THelpFile Parse(const QString& text);
    // Raises a message naming the file when it is missing or unreadable.
    static THelpFile Load(const QString& path);

    QString Title;
    QString Intro;
    std::vector<THelpTopic> Topics;

    const THelpTopic* Find(int context) const;
    // The page a help address shows: a topic, or the contents for anything else.
    QString PageHtml(const QString& address) const;
    QString ContentsHtml() const;
    static QString Address(int context);
};

// Where the help file named by the application lies: beside the program, else in the
// installed data folder.
QString ResolveHelpFile(const QString& name);
