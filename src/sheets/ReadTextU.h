#pragma once

#include "platform/Version.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class Query;
class TApplicationEvents;

// The import window: shows a sheet text file and appends every line as a new sheet definition.
class TReadTextForm : public QDialog {
    Q_OBJECT
  public:
    TReadTextForm(Query& query, const QString& defaultFile, int helpContext,
                  QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QLabel* HintPanel = nullptr;
    TApplicationEvents* ApplicationEvents1 = nullptr;

    void BitBtn3Click();
    void BitBtn4Click();
    // Loads a file into the preview; the file system's message when it cannot be read.
    void LoadPreview(const QString& fileName);
    // Asks for the file to read; the open dialog unless replaced (tests choose for the user).
    std::function<QString()> ChooseFile;
    static QString Caption() {
        return TavrelVersionCaption() + QStringLiteral(" 印刷設定情報読込");
    }

  private:
    QString RunOpenDialog();
    Query& query_;
    QString defaultFile_;
};

// Opens the import window modally for the query and releases it when it closes.
void ShowReadText(Query& query, const QString& defaultFile, int helpContext);
