#include "app/CardList.h"

#include "app/TavrelU.h"
#include "controls/CapNavi.h"
#include "controls/DBControls.h"
#include "controls/DBGrid.h"
#include "controls/DBImage.h"
#include "data/IbFunc.h"
#include "data/RecordCopy.h"
#include "labels/DBRichEdit.h"
#include "labels/ImageFormU.h"
#include "platform/MessageService.h"

#include <QToolButton>

TCardList::TCardList(TTavrelForm& form) : f_(form) {}

TCardList::~TCardList() {
    Query& q = f_.IBQueryCard;
    q.AfterScroll = nullptr;
    q.AfterCancel = nullptr;
    q.BeforePost = nullptr;
    q.OnNewRecord = nullptr;
    if (f_.DBComboBoxPaper)
        f_.DBComboBoxPaper->OnDropDown = nullptr;
    if (f_.CaptionDBNavi1)
        f_.CaptionDBNavi1->BeforeAction = nullptr;
}

void TCardList::BindEvents() {
    f_.DSCard.SetDataSet(&f_.IBQueryCard);
    connect(&f_.DSCard, &DataSource::StateChange, this, [this] { DSCardStateChange(); });
    Query& q = f_.IBQueryCard;
    q.AfterScroll = [this](Query&) { IBQueryCardAfterScroll(); };
    q.AfterCancel = q.AfterScroll;
    q.BeforePost = [this](Query&) { IBQueryCardBeforePost(); };
    q.OnNewRecord = [this](Query&) { IBQueryCardNewRecord(); };
    f_.DBComboBoxPaper->OnDropDown = [this] { DBComboBoxPaperDropDown(); };
    f_.CaptionDBNavi1->BeforeAction = [this](TCaptionDBNavi*, TNavigateBtn) {
        CaptionDBNavi1BeforeAction();
    };
    DSCardStateChange();
}

void TCardList::PrepareList() {
    Query& q = f_.IBQueryCard;
    q.Close();
    q.SetDatabase(&f_.IBDatabase1);
    q.SetTransaction(&f_.IBTransaction1);
    q.UpdateObject = &f_.IBUpdateSQL1;
    q.CachedUpdates = true;
    q.ForcedRefresh = true;
    q.NameField = QStringLiteral("NAME");
    q.RowKind = QStringLiteral("ラベル");
    q.SQL = {QStringLiteral("SELECT * FROM TAVREL"), QStringLiteral("ORDER BY NAME")};
    // The list shows names, a screenful at a time; a design's text and picture are read when it
    // becomes current.
    q.ListSQL = {QStringLiteral("SELECT ID, NAME FROM TAVREL"), QStringLiteral("ORDER BY NAME")};
    q.RowSQL = {QStringLiteral("SELECT * FROM TAVREL"), QStringLiteral("WHERE ID = :ID")};
    q.CountSQL = {QStringLiteral("SELECT COUNT(*) FROM TAVREL")};
    q.Prepare();
    q.Open();
    GenerateUpdateSql(q, &f_.IBUpdateSQL1, QStringLiteral("TAVREL"));
}

void TCardList::DSCardStateChange() {
    const Query& q = f_.IBQueryCard;
    const bool browsing = q.State() == DataSetState::Browse && !q.IsEmpty();
    for (QWidget* w : std::initializer_list<QWidget*>{f_.Panel4, f_.DBGrid1, f_.CaptionDBNavi2,
                                                      f_.PrintBtn, f_.PaperBtn, f_.RecCopyBtn})
        if (w)
            w->setEnabled(browsing);
}

void TCardList::IBQueryCardAfterScroll() {
    Query& q = f_.IBQueryCard;
    if (q.State() == DataSetState::Insert || q.IsEmpty())
        return;
    if (f_.ImageForm)
        f_.ImageForm->PlacementFromRecord(q);
    if (OnRowShown)
        OnRowShown();
}

void TCardList::IBQueryCardNewRecord() {
    Query& q = f_.IBQueryCard;
    q.FieldByName(QStringLiteral("ID")).SetValue(0);
    if (f_.ImageForm)
        f_.ImageForm->PlacementIntoRecord(q);
}

void TCardList::IBQueryCardBeforePost() {
    if (f_.ImageForm)
        f_.ImageForm->PlacementIntoRecord(f_.IBQueryCard);
}

void TCardList::FocusFirstControl() {
    QWidget* first = f_.DBRichEdit1;
    if (!first)
        first = f_.ClientArea->nextInFocusChain();
    if (first)
        first->setFocus(Qt::OtherFocusReason);
}

// A bound control being edited hands its text to the row when it loses the focus.
void TCardList::CaptionDBNavi1BeforeAction() {
    FocusFirstControl();
}

void TCardList::DBComboBoxPaperDropDown() {
    const QStringList names =
        LoadDistinctList(f_.IBDatabase1, QStringLiteral("TAVRELSET"), QStringLiteral("PAPERNAME"),
                         {}, {}, QStringLiteral("ASC"), false, false);
    f_.DBComboBoxPaper->SetItems(names);
    f_.DBComboBoxPaper->SetItemDetails(SheetDetails());
}

// Each sheet name's label size and count, as the first sheet of that name has them.
QHash<QString, QString> TCardList::SheetDetails() {
    Query q(&f_.IBDatabase1, &f_.IBTransaction1);
    q.SQL = {QStringLiteral("SELECT PAPERNAME, L_WIDTH, L_HEIGHT, RETSU, DAN FROM TAVRELSET"),
             QStringLiteral("ORDER BY ID")};
    q.Open();
    QHash<QString, QString> details;
    auto mm = [&q](const char* field) {
        return QString::number(q.FieldByName(QLatin1String(field)).AsInteger() / 10.0);
    };
    for (; !q.Eof(); q.Next()) {
        const QString name = q.FieldByName(QStringLiteral("PAPERNAME")).AsString();
        if (details.contains(name))
            continue;
        const int labels = q.FieldByName(QStringLiteral("RETSU")).AsInteger() *
                           q.FieldByName(QStringLiteral("DAN")).AsInteger();
        details.insert(
            name, QStringLiteral("%1×%2㎜ %3面").arg(mm("L_WIDTH"), mm("L_HEIGHT")).arg(labels));
    }
    return details;
}

void TCardList::RecCopyBtnClick() {
    FocusFirstControl();
    Query& q = f_.IBQueryCard;
    const bool hasPicture = !q.FieldByName(QStringLiteral("GAZOU")).AsBytes().isEmpty();
    TDBImage* image = f_.ImageForm ? f_.ImageForm->DBImage1 : nullptr;
    if (hasPicture && image)
        image->CopyToClipboard();
    if (CopyCurrentRecord(q, QStringLiteral("GAZOU"), true) && hasPicture && image)
        image->PasteFromClipboard();
}

bool TCardList::RefreshCards(const QVariant& keyValue, const QString& keyField) {
    Query& q = f_.IBQueryCard;
    try {
        // Back to editing over a conflict: the list stays as the user left it.
        if (ApplyReconnectReopen(q) && q.Active() && !keyField.isEmpty())
            q.Locate(keyField, keyValue);
    } catch (...) {
        throw EError(QStringLiteral("Database Refresh Error"));
    }
    return q.Active();
}

bool TCardList::CloseCheck() {
    const Query& q = f_.IBQueryCard;
    // With nothing to save, a re-read of the whole list would show nobody anything.
    if (!q.HasUnsavedWork() && !q.ApplyOutcomeUnknown())
        return true;
    // Nothing of the user's is lost when only the re-read failed: the window may go.
    return SaveBeforeClose(f_.IBQueryCard, true);
}
