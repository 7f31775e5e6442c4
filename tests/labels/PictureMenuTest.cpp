#include "labels/PictureMenu.h"
#include "LabelTextFixture.h"
#include "controls/DBImage.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "labels/DBRichEdit.h"
#include "labels/ImageFormU.h"
#include "labels/PictureDialogs.h"
#include "platform/BitmapFile.h"
#include "platform/MessageService.h"
#include "platform/PictureFile.h"
#include "platform/StoredPicture.h"
#include "platform/WaitCursor.h"
#include "support/PictureSamples.h"
#include "support/TestDb.h"

#include "model/LabelPicture.h"
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Records what the desktop was asked to open, instead of opening it.
class DesktopOpener : public QObject {
    Q_OBJECT
  public slots:
    void Open(const QUrl& url) {
        urls << url;
        cursorsShown = WaitCursor::Depth();
    }

  public:
    QList<QUrl> urls;
    int cursorsShown = -1;
};

// Answers the next file dialog: chooses the file, or cancels when there is none. A dialog that
// refuses the answer is cancelled after it.
void AnswerFileDialog(const QString& path) {
    QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (!path.isEmpty()) {
            dialog->selectFile(path);
            // As typed: a dialog used before keeps its old name while its name box has the focus.
            if (auto* typed = dialog->findChild<QLineEdit*>("fileNameEdit"))
                typed->setText(path);
            static_cast<QDialog*>(dialog)->accept(); // the dialog's own checks run
        }
        if (dialog->isVisible())
            dialog->reject();
    });
}

QImage Stored(Query& q) {
    QString error;
    return StoredPicture::Decode(q.FieldByName("GAZOU").AsBytes(), &error);
}

// The picture window and the text of a design list with two designs: "a" hidden, stretched and
// without picture; "b" shown with an 8 × 6 picture.
class PictureMenuTest : public LabelTextFixture {
  protected:
    void SetUp() override {
        LabelTextFixture::SetUp();
        ExecuteImmediate(db, tr,
                         "INSERT INTO TAVREL (ID, NAME, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, "
                         "G_STRETCH) VALUES (0, 'a', 20, 30, 90, 60, 2, 1)");
        ExecuteImmediate(db, tr,
                         "INSERT INTO TAVREL (ID, NAME, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, "
                         "G_STRETCH, GAZOU) VALUES (0, 'b', 5, 6, 40, 30, 1, 0, x'" +
                             Samples::BmpOf(picture).toHex() + "')");
        form = new TImageForm(&panel, &ds);
        menu =
            new TPictureMenu(form, editor, &panel, [this] { return dir.filePath("BmpTmp.bmp"); });
        q.AfterScroll = [this](Query& d) { form->PlacementFromRecord(d); };
        q.AfterCancel = q.AfterScroll;
        q.BeforePost = [this](Query& d) { form->PlacementIntoRecord(d); };
        Open();
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler("file");
        LabelTextFixture::TearDown();
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }
    void ToB() {
        q.Next();
        ASSERT_EQ(q.FieldByName("NAME").AsString(), "b");
    }
    std::vector<bool> Enabled() {
        menu->BmpPopupPopup();
        std::vector<bool> enabled;
        for (QAction* a : {menu->PicRead, menu->IconRead, menu->PicCut, menu->PicCopy,
                           menu->PicPaste, menu->PicShow, menu->BmpExe})
            enabled.push_back(a->isEnabled());
        return enabled;
    }

    const QImage picture = Samples::Pattern(8, 6);
    QTemporaryDir dir;
    TImageForm* form = nullptr;
    TPictureMenu* menu = nullptr;
};

TEST_F(PictureMenuTest, ItemsCarryTheirCaptionsAndHintsAndBothMarksStartSet) {
    const QList<QAction*> items = menu->BmpPopup->actions();
    QStringList captions;
    for (QAction* a : items)
        captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions,
              QStringList({"ファイルから読み込み", "実行ファイルからアイコン読み込み", "-",
                           "切り取り", "クリップボードへコピー", "クリップボードから貼付け", "-",
                           "表示", "ストレッチ", "-", "アプリケーション起動"}));
    EXPECT_EQ(menu->IconRead->statusTip(), "実行ファイルからアイコンを読み込みます");
    EXPECT_EQ(menu->BmpExe->statusTip(), "BMPに関連付けされているアプリケーションを起動します");
    for (QAction* a : items)
        EXPECT_TRUE(a->isSeparator() || (!a->icon().isNull() && !a->statusTip().isEmpty()));
    EXPECT_TRUE(menu->PicShow->isChecked());
    EXPECT_TRUE(menu->PicStretch->isChecked());
}

TEST_F(PictureMenuTest, AHiddenPictureWindowDisablesEverythingButLoadAndShow) {
    QGuiApplication::clipboard()->setImage(picture);
    // Load, icon, cut, copy, paste, show, application.
    EXPECT_EQ(Enabled(), std::vector<bool>({true, false, false, false, false, true, false}));
    EXPECT_FALSE(menu->PicShow->isChecked());
    EXPECT_TRUE(menu->PicStretch->isChecked());
    ToB();
    EXPECT_EQ(Enabled(), std::vector<bool>({true, true, true, true, true, true, true}));
    EXPECT_FALSE(menu->PicStretch->isChecked());
    EXPECT_EQ(q.State(), DataSetState::Browse);
}

TEST_F(PictureMenuTest, PasteIsOfferedForABitmapOurOwnFormatOrAMetafile) {
    ToB();
    auto offered = [this](const QString& format) {
        auto* data = new QMimeData;
        data->setData(format, "x");
        QGuiApplication::clipboard()->setMimeData(data);
        menu->BmpPopupPopup();
        return menu->PicPaste->isEnabled();
    };
    EXPECT_TRUE(offered(TDBImage::PrivateFormat()));
    EXPECT_TRUE(offered("image/x-wmf"));
    EXPECT_TRUE(offered("image/x-emf"));
    EXPECT_FALSE(offered("text/plain"));
    // Only a bitmap is pasted: with our own format alone nothing changes.
    offered(TDBImage::PrivateFormat());
    menu->PicPasteClick();
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_EQ(form->DBImage1->Picture().convertToFormat(QImage::Format_RGB32), picture);
}

// Blue at (2, 2), nothing at (20, 2).
QByteArray TransparentSample(const QString& extension) {
    if (extension == "gif") // 2 × 1: blue, then the transparent index
        return QByteArray::fromHex("474946383961020001008000000000ffffffff21f90401000001002c"
                                   "0000000002000100000202440a003b");
    if (extension == "svg")
        return "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='16'>"
               "<rect width='12' height='16' fill='#0000ff'/></svg>";
    QImage image(24, 16, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    QPainter(&image).fillRect(0, 0, 12, 16, Qt::blue);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, extension.toLatin1());
    writer.setQuality(100); // WebP without loss
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return buffer.data();
}

class PictureFormats : public PictureMenuTest, public ::testing::WithParamInterface<const char*> {
  protected:
    QByteArray Sample(const QString& extension) {
        if (QStringList{"png", "gif", "tiff", "webp", "svg"}.contains(extension))
            return TransparentSample(extension);
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(qRgba(0, 0, 0, 0));
        icon.setPixel(4, 4, qRgba(0, 0, 255, 255));
        if (extension == "jpg")
            return Samples::Jpeg(Samples::Pattern(24, 16));
        if (extension == "ico")
            return Samples::IcoFile({Samples::IconDib(icon, 32)}, {QSize(32, 32)});
        if (extension == "emf")
            return Samples::Emf();
        if (extension == "wmf")
            return Samples::Wmf();
        return Samples::BmpOf(Samples::Pattern(24, 16));
    }
};

TEST_P(PictureFormats, LoadingAndPostingStoresABitmapThatReadsBackWithTheSamePixels) {
    const QString path = Write(QString("sample.") + GetParam(), Sample(GetParam()));
    const QImage expected =
        PictureFile::Load(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    AnswerFileDialog(path);
    menu->PicReadClick();
    ASSERT_TRUE(shown.isEmpty()) << shown.join(", ").toStdString();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    q.Post();
    const QByteArray stored = q.FieldByName("GAZOU").AsBytes();
    ASSERT_TRUE(stored.startsWith("BM"));
    EXPECT_EQ(Stored(q).convertToFormat(QImage::Format_ARGB32_Premultiplied), expected);
    if (QString(GetParam()) == "ico") {
        EXPECT_EQ(expected.pixel(0, 0), qRgb(255, 255, 255)); // transparent: white
        EXPECT_EQ(expected.pixel(4, 4), qRgb(0, 0, 255));
    }
    if (!QStringList{"png", "gif", "tiff", "webp", "svg"}.contains(GetParam()))
        return;
    EXPECT_TRUE(form->isVisible());                   // loading shows the picture
    const QImage legacy = BitmapFile::Decode(stored); // as a reader without alpha sees it
    const QImage picture = Stored(q);
    const QPoint clear = picture.width() > 2 ? QPoint(20, 2) : QPoint(1, 0);
    const QPoint blue = picture.width() > 2 ? QPoint(2, 2) : QPoint(0, 0);
    EXPECT_EQ(qAlpha(picture.pixel(clear)), 0);
    EXPECT_EQ(picture.pixel(blue), qRgba(0, 0, 255, 255));
    EXPECT_EQ(legacy.pixel(clear), qRgb(255, 255, 255));
    // Drawn over black "text", the transparent part lets it show.
    QImage cell(picture.size(), QImage::Format_RGB32);
    cell.fill(Qt::black);
    QPainter painter(&cell);
    DrawLabelPicture(painter, picture, cell.rect(), false);
    painter.end();
    EXPECT_EQ(cell.pixel(clear), qRgb(0, 0, 0));
    EXPECT_EQ(cell.pixel(blue), qRgb(0, 0, 255));
}

INSTANTIATE_TEST_SUITE_P(, PictureFormats,
                         ::testing::Values("bmp", "jpg", "ico", "emf", "wmf", "png", "gif", "tiff",
                                           "webp", "svg"));

TEST_F(PictureMenuTest, APictureLargerThanTheLabelIsFittedIntoItsTopLeftCorner) {
    ToB();
    form->hide();
    editor->SetLabelOutline(QRectF(-10.5, 5, 100, 50));
    QImage big(400, 100, QImage::Format_RGB32);
    big.fill(Qt::red);
    const std::pair<QImage, QRect> cases[] = {{big, QRect(-11, 5, 100, 25)},
                                              {big.scaled(40, 300), QRect(-11, 5, 6, 50)}};
    for (const auto& [image, placed] : cases) {
        AnswerFileDialog(Write("big.bmp", Samples::BmpOf(image)));
        menu->PicRead->trigger();
        EXPECT_EQ(form->geometry(), placed);
        EXPECT_TRUE(form->DBImage1->Stretch());
    }
    // One that fits keeps its place and its own size.
    form->DBImage1->SetStretch(false);
    const QRect before = form->geometry();
    AnswerFileDialog(Write("logo.png", TransparentSample("png")));
    menu->PicRead->trigger();
    EXPECT_EQ(form->geometry(), before);
    EXPECT_FALSE(form->DBImage1->Stretch());
}

TEST_F(PictureMenuTest, ACancelledDialogChangesNothing) {
    ToB();
    AnswerFileDialog({});
    menu->PicReadClick();
    AnswerFileDialog({});
    menu->IconReadClick();
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(PictureMenuTest, ACorruptFileShowsTheLoadersErrorAndKeepsThePicture) {
    ToB();
    const QByteArray jpeg = Samples::Jpeg(Samples::Pattern(64, 64));
    const std::pair<const char*, QByteArray> bad[] = {
        {"cut.jpg", jpeg.left(jpeg.size() / 2)},
        {"huge.jpg", Samples::WithJpegSize(jpeg, 20000, 20000)},
        {"cut.bmp", Samples::BmpOf(picture).chopped(1)},
        {"cut.ico", Samples::IcoFile({Samples::IconDib(picture, 24)}, {QSize(8, 6)}).left(40)},
        {"cut.emf", Samples::Emf().left(100)},
        {"cut.wmf", Samples::Wmf().left(50)},
        {"jpeg.bmp", jpeg},
        {"picture.gif", jpeg}};
    for (const auto& [name, bytes] : bad) {
        shown.clear();
        AnswerFileDialog(Write(name, bytes));
        menu->PicRead->trigger();
        EXPECT_EQ(shown.size(), 1) << name;
        EXPECT_EQ(q.State(), DataSetState::Edit) << name;
        EXPECT_EQ(form->DBImage1->Picture().convertToFormat(QImage::Format_RGB32), picture);
    }
    q.Post();
    EXPECT_EQ(Stored(q).convertToFormat(QImage::Format_RGB32), picture);
}

TEST_F(PictureMenuTest, AnExecutablesIconOrAWhiteSquareForAFileThatIsNotThere) {
    ToB();
    QImage colour(32, 32, QImage::Format_RGB32);
    colour.fill(qRgb(200, 10, 10));
    AnswerFileDialog(
        Write("tool.exe", Samples::PeWithIcons({Samples::IconDib(colour, 24)}, {QSize(32, 32)})));
    menu->IconReadClick();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(form->DBImage1->Picture().pixel(16, 16), qRgb(200, 10, 10));

    AnswerFileDialog(dir.filePath("missing.exe"));
    menu->IconReadClick();
    const QImage square = form->DBImage1->Picture();
    EXPECT_EQ(square.size(), QSize(32, 32));
    EXPECT_EQ(square.pixel(31, 31), qRgb(255, 255, 255));

    // A folder that is not there is refused by the dialog itself.
    AnswerFileDialog(dir.filePath("nowhere/tool.exe"));
    menu->IconReadClick();
    EXPECT_EQ(shown, QStringList{TOpenExeDialog::NoFolderText()});

    shown.clear();
    AnswerFileDialog(
        Write("broken.exe",
              Samples::PeWithIcons({Samples::IconDib(colour, 24)}, {QSize(32, 32)}).left(0x230)));
    menu->IconRead->trigger();
    EXPECT_EQ(shown, QStringList{"Executable file is not valid"});
    EXPECT_EQ(form->DBImage1->Picture().size(), QSize(32, 32));
}

TEST_F(PictureMenuTest, CutEmptiesThePictureAndPostingStoresNull) {
    ToB();
    menu->PicCutClick();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasImage());
    EXPECT_TRUE(data->hasFormat(TDBImage::PrivateFormat()));
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32),
              picture);
    EXPECT_EQ(Enabled(), std::vector<bool>({true, true, false, false, true, true, false}));
    q.Post();
    EXPECT_TRUE(q.FieldByName("GAZOU").IsNull());
}

TEST_F(PictureMenuTest, CopyLeavesTheRecordAloneAndPasteTakesTheBitmapOnWhite) {
    ToB();
    menu->PicCopyClick();
    EXPECT_EQ(q.State(), DataSetState::Browse);
    QImage withHole(3, 2, QImage::Format_ARGB32);
    withHole.fill(qRgba(10, 20, 30, 255));
    withHole.setPixel(1, 1, qRgba(0, 0, 0, 0));
    QGuiApplication::clipboard()->setImage(withHole);
    menu->PicPasteClick();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    q.Post();
    const QImage stored = Stored(q);
    EXPECT_EQ(stored.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(stored.pixel(1, 1), qRgb(255, 255, 255));
}

TEST_F(PictureMenuTest, ShowAndStretchEditTheRecordAndReachItWhenPosted) {
    ToB();
    menu->BmpPopupPopup();
    menu->PicStretchClick();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_TRUE(form->DBImage1->Stretch());
    menu->PicShowClick();
    EXPECT_TRUE(form->isHidden());
    EXPECT_FALSE(menu->PicStretch->isEnabled());
    q.Post();
    EXPECT_EQ(q.FieldByName("G_Show").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("G_Stretch").AsInteger(), 1);
    // Through the menu itself: the item's own turn of the mark is not counted twice.
    menu->BmpPopupPopup();
    menu->PicShow->trigger();
    EXPECT_FALSE(form->isHidden());
    EXPECT_TRUE(menu->PicShow->isChecked());
    EXPECT_TRUE(menu->PicStretch->isEnabled());
}

TEST_F(PictureMenuTest, WithTheListClosedTheCommandsReportTheEditErrorAndChangeNothing) {
    ToB();
    q.Close();
    menu->PicShow->trigger();
    menu->PicStretch->trigger();
    EXPECT_EQ(shown, QStringList({"Cannot perform this operation on a closed dataset",
                                  "Cannot perform this operation on a closed dataset"}));
    EXPECT_FALSE(form->isHidden());
    EXPECT_FALSE(form->DBImage1->Stretch());
}

TEST_F(PictureMenuTest, ApplicationStartWritesTheBitmapAndHandsItToTheDesktop) {
    ToB();
    DesktopOpener opener;
    QDesktopServices::setUrlHandler("file", &opener, "Open");
    // Whatever stands at the name, a link planted there included, is replaced, never followed.
    Write("victim.txt", "an older file, longer than the new picture will be ...........");
    ASSERT_TRUE(QFile::link(dir.filePath("victim.txt"), dir.filePath("BmpTmp.bmp")));
    menu->BmpExeClick();
    const QString path = dir.filePath("BmpTmp.bmp");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    QFile victim(dir.filePath("victim.txt"));
    ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
    EXPECT_TRUE(victim.readAll().startsWith("an older file"));
    ASSERT_EQ(opener.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
    EXPECT_EQ(opener.cursorsShown, 0); // the hourglass is gone before the desktop opens it
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(BitmapFile::Decode(file.readAll()), picture);
    EXPECT_EQ(q.State(), DataSetState::Browse);
}

TEST_F(PictureMenuTest, ApplicationStartReportsAFileItCannotWriteAndRestoresTheCursor) {
    ToB();
    DesktopOpener opener;
    QDesktopServices::setUrlHandler("file", &opener, "Open");
    QDir(dir.path()).mkdir("BmpTmp.bmp"); // a folder where the file should go
    menu->BmpExe->trigger();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("Cannot create file")) << shown[0].toStdString();
    EXPECT_TRUE(opener.urls.isEmpty());
    EXPECT_EQ(WaitCursor::Depth(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PictureMenuTest, ThePictureDialogListsItsEntriesAndFollowsTheChosenOne) {
    TOpenPictureDialog& dialog = menu->OpenPicDlg();
    const QString all =
        "*.bmp;*.jpg;*.jpeg;*.ico;*.emf;*.wmf;*.png;*.gif;*.tif;*.tiff;*.webp;*.svg";
    EXPECT_EQ(dialog.nameFilters(),
              QStringList({"画像ﾌｧｲﾙ (" + all + ")", "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)", "JPEG (*.jpg;*.jpeg)",
                           "ｱｲｺﾝ(*.ico)", "ﾒﾀﾌｧｲﾙ(*.emf;*.wmf)", "PNG (*.png)", "GIF (*.gif)",
                           "TIFF (*.tif;*.tiff)", "WebP (*.webp)", "SVG (*.svg)"}));
    EXPECT_EQ(dialog.selectedNameFilter(), dialog.nameFilters().first());
    EXPECT_EQ(dialog.CurrentPatterns(), all.split(';'));
    dialog.selectNameFilter("ﾒﾀﾌｧｲﾙ(*.emf;*.wmf)");
    emit dialog.filterSelected("ﾒﾀﾌｧｲﾙ(*.emf;*.wmf)");
    EXPECT_EQ(dialog.CurrentPatterns(), QStringList({"*.emf", "*.wmf"}));
    // The preview shows the picture under the pointer and its size, and nothing for a bad one.
    emit dialog.currentChanged(Write("p.bmp", Samples::BmpOf(picture)));
    EXPECT_EQ(dialog.PreviewSize->text(), "(8 x 6)");
    EXPECT_FALSE(dialog.Preview->pixmap().isNull());
    emit dialog.currentChanged(Write("q.bmp", "BM"));
    EXPECT_TRUE(dialog.Preview->pixmap().isNull());
    EXPECT_TRUE(dialog.PreviewSize->text().isEmpty());
    EXPECT_EQ(menu->OpenExeDlg().windowTitle(), "アイコンを読み込む実行ファイルを選択してください");
    EXPECT_EQ(menu->OpenExeDlg().nameFilters(), QStringList{"実行ﾌｧｲﾙ(*.exe)"});
}

TEST_F(PictureMenuTest, RightClicksOnTheTextAndThePictureOpenThePictureMenu) {
    ToB();
    for (QWidget* target :
         {static_cast<QWidget*>(editor->viewport()), static_cast<QWidget*>(form->DBImage1)}) {
        QWidget* opened = nullptr;
        QTimer::singleShot(0, [&opened] {
            opened = QApplication::activePopupWidget();
            if (opened)
                opened->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
        EXPECT_EQ(opened, menu->BmpPopup);
    }
}

} // namespace

#include "PictureMenuTest.moc"
