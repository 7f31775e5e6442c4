#include "labels/PictureMenu.h"

#include "controls/DBImage.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "labels/DBRichEdit.h"
#include "labels/ImageFormU.h"
#include "labels/PictureDialogs.h"
#include "labels/PictureGlyphs.h"
#include "model/LabelOutline.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/PictureFile.h"
#include "platform/SafeFile.h"
#include "platform/StoredPicture.h"
#include "platform/WaitCursor.h"
#include "ui/DesktopIcon.h"
#include "ui/SlotGuard.h"

#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QUrl>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    try {
        // Replaced, never written through: a link planted at the name is not followed.
        WriteWholeFile(path, bytes, QStringLiteral("Cannot create file"));
    } catch (const EWriteFailed& e) {
        throw EError(QStringLiteral("Cannot create file \"%1\". %2").arg(e.path(), e.reason()));
    }
}

} // namespace

TPictureMenu::TPictureMenu(TImageForm* imageForm, TDBRichEdit* editor, QWidget* owner,
                           std::function<QString()> tempPath)
    : QObject(owner), imageForm_(imageForm), editor_(editor), owner_(owner),
      tempPath_(std::move(tempPath)) {
    BmpPopup = new QMenu(owner);
    BmpPopup->setObjectName(QStringLiteral("BmpPopup"));
    CreateItems();
    connect(BmpPopup, &QMenu::aboutToShow, this, ::Guarded([this] { BmpPopupPopup(); }, owner_));
    editor->SetPopupMenu(BmpPopup);
    imageForm_->SetPopupMenu(BmpPopup);
}

QAction* TPictureMenu::AddItem(const QString& name, const QString& caption, const QString& hint,
                               void (TPictureMenu::*handler)()) {
    QAction* action = BmpPopup->addAction(caption);
    action->setObjectName(name);
    action->setStatusTip(hint);
    connect(action, &QAction::triggered, this, [this, action, handler] {
        // The menu has already turned the mark over; the handler turns it itself.
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        Messages::RunGuarded([this, handler] { (this->*handler)(); }, owner_);
    });
    return action;
}

void TPictureMenu::CreateItems() {
    PicRead = AddItem(QStringLiteral("PicRead"), QStringLiteral("ファイルから読み込み"),
                      QStringLiteral("画像データをファイルから読み込みます"),
                      &TPictureMenu::PicReadClick);
    IconRead = AddItem(
        QStringLiteral("IconRead"), QStringLiteral("実行ファイルからアイコン読み込み"),
        QStringLiteral("実行ファイルからアイコンを読み込みます"), &TPictureMenu::IconReadClick);
    BmpPopup->addSeparator();
    PicCut = AddItem(QStringLiteral("PicCut"), QStringLiteral("切り取り"),
                     QStringLiteral("画像データを切り取ります"), &TPictureMenu::PicCutClick);
    PicCopy = AddItem(QStringLiteral("PicCopy"), QStringLiteral("クリップボードへコピー"),
                      QStringLiteral("画像データをクリップボードにコピーします"),
                      &TPictureMenu::PicCopyClick);
    PicPaste = AddItem(QStringLiteral("PicPaste"), QStringLiteral("クリップボードから貼付け"),
                       QStringLiteral("クリップボードから画像データを貼り付けます"),
                       &TPictureMenu::PicPasteClick);
    BmpPopup->addSeparator();
    PicShow =
        AddItem(QStringLiteral("PicShow"), QStringLiteral("表示"),
                QStringLiteral("画像の表示・非表示を切り替えます"), &TPictureMenu::PicShowClick);
    PicStretch =
        AddItem(QStringLiteral("PicStretch"), QStringLiteral("ストレッチ"),
                QStringLiteral("画像の表示方法を指定します"), &TPictureMenu::PicStretchClick);
    BmpPopup->addSeparator();
    BmpExe = AddItem(QStringLiteral("BmpExe"), QStringLiteral("アプリケーション起動"),
                     QStringLiteral("BMPに関連付けされているアプリケーションを起動します"),
                     &TPictureMenu::BmpExeClick);
    const std::pair<QAction*, QIcon> pictures[] = {
        {PicRead, PictureGlyphs::FromFile()},   {IconRead, PictureGlyphs::FromExecutable()},
        {PicCut, PictureGlyphs::Cut()},         {PicCopy, PictureGlyphs::Copy()},
        {PicPaste, PictureGlyphs::Paste()},     {PicShow, PictureGlyphs::Show()},
        {PicStretch, PictureGlyphs::Stretch()}, {BmpExe, PictureGlyphs::OpenElsewhere()}};
    for (const auto& [action, icon] : pictures)
        action->setIcon(icon);
    for (QAction* mark : {PicShow, PicStretch}) {
        mark->setCheckable(true);
        mark->setChecked(true);
    }
}

TOpenPictureDialog& TPictureMenu::OpenPicDlg() {
    if (!openPicDlg_)
        openPicDlg_ = new TOpenPictureDialog(owner_);
    return *openPicDlg_;
}

TOpenExeDialog& TPictureMenu::OpenExeDlg() {
    if (!openExeDlg_)
        openExeDlg_ = new TOpenExeDialog(owner_);
    return *openExeDlg_;
}

TDBImage* TPictureMenu::Image() const {
    return imageForm_->DBImage1;
}

void TPictureMenu::EditDataSet() const {
    DataSource* source = imageForm_->GetDataSource();
    Query* q = source ? source->DataSet() : nullptr;
    if (!q)
        throw EError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    q->Edit();
}

void TPictureMenu::GazouBtnClick() {
    BmpPopup->popup(QCursor::pos());
}

void TPictureMenu::BmpPopupPopup() {
    const bool shown = !imageForm_->isHidden();
    const bool hasPicture = shown && Image()->HasPicture();
    PicRead->setEnabled(true); // a loaded picture is shown, so loading needs no shown window
    IconRead->setEnabled(shown);
    PicPaste->setEnabled(shown && TDBImage::ClipboardHasPicture());
    for (QAction* item : {PicCut, PicCopy, BmpExe})
        item->setEnabled(hasPicture);
    PicStretch->setChecked(Image()->Stretch());
    PicShow->setChecked(shown);
}

void TPictureMenu::PicReadClick() {
    if (!OpenPicDlg().Execute())
        return;
    EditDataSet();
    // The load fails before the picture changes: the record keeps its picture, in edit state.
    const QImage picture = PictureFile::Load(OpenPicDlg().FileName());
    Image()->SetPicture(picture);
    FitToLabel(picture.size());
    imageForm_->setVisible(true);
    PicShow->setChecked(true);
    PicStretch->setEnabled(true);
}

void TPictureMenu::FitToLabel(const QSize& picture) {
    const QRectF outline = editor_ ? editor_->LabelOutline() : QRectF();
    if (outline.isEmpty() ||
        (picture.width() <= outline.width() && picture.height() <= outline.height()))
        return;
    imageForm_->SetLogicalGeometry(FittedPictureRect(picture, outline));
    Image()->SetStretch(true);
    PicStretch->setChecked(true);
}

void TPictureMenu::IconReadClick() {
    if (!OpenExeDlg().Execute())
        return;
    EditDataSet();
    Image()->SetPicture(IconFile::IconToBitmap(DesktopIcon::Extract(OpenExeDlg().FileName())));
}

void TPictureMenu::PicCutClick() {
    Image()->CutToClipboard();
}

void TPictureMenu::PicCopyClick() {
    Image()->CopyToClipboard();
}

void TPictureMenu::PicPasteClick() {
    Image()->PasteFromClipboard();
}

void TPictureMenu::PicShowClick() {
    EditDataSet();
    PicShow->setChecked(!PicShow->isChecked());
    imageForm_->setVisible(PicShow->isChecked());
    PicStretch->setEnabled(PicShow->isChecked());
}

void TPictureMenu::PicStretchClick() {
    EditDataSet();
    PicStretch->setChecked(!PicStretch->isChecked());
    Image()->SetStretch(PicStretch->isChecked());
}

// The file is handed over and never read back: changes made there return only by the
// clipboard.
void TPictureMenu::BmpExeClick() {
    if (!Image()->HasPicture())
        return;
    const QString path = tempPath_ ? tempPath_() : QString();
    {
        WaitCursor wait;
        WriteFile(path, StoredPicture::Encode(Image()->Picture()));
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path)); // a failure to open is not reported
}
