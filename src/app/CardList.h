#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

class QComboBox;
class QWidget;
class TTavrelForm;

// The main window's list of label designs: preparation, the data set's handlers, the copy
// button, the re-read after other windows saved, and the close check. It is the context of every
// hook it sets on the window's data set and controls, and takes them down when it goes, so nothing
// calls into it once it is gone.
class TCardList : public QObject {
  public:
    explicit TCardList(TTavrelForm& form);
    ~TCardList() override;

    // Hooks the handlers onto the list's data source, data set and paper box.
    void BindEvents();

    // Start-up: open the list and generate its update statements.
    void PrepareList();
    void DSCardStateChange();
    void IBQueryCardAfterScroll();
    void IBQueryCardNewRecord();
    void IBQueryCardBeforePost();
    void CaptionDBNavi1BeforeAction();
    void DBComboBoxPaperDropDown();
    QHash<QString, QString> SheetDetails();
    void RecCopyBtnClick();
    // Applies what is cached, reconnects, re-reads and returns to the row whose key field holds
    // the key value. True when the list is open. Raises "Database Refresh Error".
    bool RefreshCards(const QVariant& keyValue, const QString& keyField);
    // Whether the main window may close; saves the list first.
    bool CloseCheck();

    // Runs after the placement is applied on a row change (the formatting toolbar's refresh).
    std::function<void()> OnRowShown;

  private:
    void FocusFirstControl();
    TTavrelForm& f_;
};
