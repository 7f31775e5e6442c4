#pragma once

#include "dialogs/HelpFile.h"
#include "platform/Help.h"

#include <QTextBrowser>
#include <QWidget>

class QToolButton;

// Shows the pages of a help file; links between topics and the history stay inside it.
class THelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit THelpBrowser(QWidget* parent = nullptr);
    void SetHelpFile(THelpFile file) { file_ = std::move(file); }
    const THelpFile& HelpFile() const { return file_; }
    // Topics open here; web and mail addresses go to the desktop.
    void FollowLink(const QUrl& link);

  protected:
    QVariant loadResource(int type, const QUrl& name) override;

  private:
    THelpFile file_;
};

// The help window: a contents page and one page per help context.
class THelpViewForm : public QWidget {
    Q_OBJECT
  public:
    explicit THelpViewForm(QWidget* parent = nullptr);

    QToolButton* ContentsBtn = nullptr;
    QToolButton* BackBtn = nullptr;
    QToolButton* ForwardBtn = nullptr;
    THelpBrowser* Browser = nullptr;

    void ShowFile(THelpFile file);
    // A topic by its help context; an unknown context shows the contents.
    void ShowContext(int context);
    void ShowContents();
    // The address shown ("help:contents" or "help:NUMBER").
    QString Address() const;
};

// Opens the help file named by the application at a request's topic or at its contents, in the
// one help window of the program; usable while a modal window is open.
void ShowHelpRequest(const Help::Request& request);
// The help window while it is open, else nullptr.
THelpViewForm* HelpViewForm();
