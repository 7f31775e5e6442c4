#pragma once

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "labels/DBRichEdit.h"
#include "platform/MessageService.h"
#include "platform/RichFormat.h"
#include "platform/RtfReader.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

// A label text editor on the design list of a fresh database; message boxes are recorded.
class LabelTextFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        Messages::SetResponder([this](const Messages::Request& request) {
            shown << request.text;
            return Messages::Answer::Ok;
        });
        ConnectDatabase(db, tr, tdb.Path());
        panel.resize(333, 225);
        editor = new TDBRichEdit(&panel);
        editor->setGeometry(1, 1, 331, 223);
    }
    void TearDown() override { Messages::ClearResponder(); }

    static QString Quoted(const QString& text) {
        return QLatin1Char('\'') + QString(text).replace("'", "''") + QLatin1Char('\'');
    }
    void AddDesign(const QString& name, const QString& cardText) {
        ExecuteImmediate(db, tr,
                         "INSERT INTO TAVREL (ID, NAME, G_X, CARDTEXT) VALUES (0, " + Quoted(name) +
                             ", 5, " +
                             (cardText.isNull() ? QStringLiteral("NULL") : Quoted(cardText)) + ")");
    }
    // Opens the list with the editor bound to field.
    void Open(const QString& field = QStringLiteral("CardText")) {
        tr.Commit();
        q.SQL = {QStringLiteral("SELECT * FROM TAVREL"), QStringLiteral("ORDER BY NAME")};
        q.CachedUpdates = true;
        q.UpdateObject = &upd;
        ds.SetDataSet(&q);
        editor->SetDataSource(&ds);
        editor->SetDataField(field);
        q.Open();
        GenerateUpdateSql(q, &upd, QStringLiteral("TAVREL"));
        panel.show();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(editor, &press);
    }
    void Type(const QString& text) {
        for (const QChar c : text)
            Key(0, Qt::NoModifier, QString(c));
    }
    // The stored label text of the design, as a new connection reads it.
    QTextDocument* StoredText(const QString& name) {
        Database other;
        Transaction otherTr;
        ConnectDatabase(other, otherTr, tdb.Path());
        Query read(&other, &otherTr);
        read.SQL = {"SELECT CARDTEXT FROM TAVREL WHERE NAME = " + Quoted(name)};
        read.Open();
        EXPECT_FALSE(read.IsEmpty());
        EXPECT_TRUE(RtfRead(read.Fields(0).AsBytes(), &stored));
        return &stored;
    }
    // The format of the character at position pos of doc.
    static QTextCharFormat FormatAt(const QTextDocument& doc, int pos) {
        const QTextBlock block = doc.findBlock(pos);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.contains(pos))
                return fragment.charFormat();
        }
        return block.charFormat();
    }
    QTextCharFormat FormatAt(int pos) const { return FormatAt(*editor->document(), pos); }

    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL upd;
    DataSource ds;
    QTextDocument stored;
    QWidget panel;
    TDBRichEdit* editor = nullptr;
    QStringList shown;
};

// Label texts as a Windows rich edit control writes them.
namespace Rtf {
// "{\rtf1...}" around body, with font 0 the given face under code page 932.
inline QString Document(const QString& body, const QString& face = QStringLiteral("IPAGothic")) {
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 ") +
           face + QStringLiteral(";}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 ") + body +
           QStringLiteral("\\par}");
}
} // namespace Rtf
