#include "labels/PictureDialogs.h"

#include "platform/MessageService.h"
#include "platform/PictureFile.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewSide = 160;

} // namespace

TWinOpenDialog::TWinOpenDialog(QWidget* parent, const QString& title, const QString& filter)
    : QFileDialog(parent, title) {
    setOption(QFileDialog::DontUseNativeDialog); // the preview and the filters need our widgets
    setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        descriptions_ << parts[i];
        patterns_ << parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    setNameFilters(descriptions_);
    // Runs after the dialog has set the patterns it read from the description itself.
    connect(this, &QFileDialog::filterSelected, this, &TWinOpenDialog::UsePatterns);
    selectNameFilter(descriptions_.value(0));
    UsePatterns(descriptions_.value(0));
}

void TWinOpenDialog::UsePatterns(const QString& description) {
    const qsizetype index = descriptions_.indexOf(description);
    if (auto* model = findChild<QFileSystemModel*>(); model && index >= 0)
        model->setNameFilters(patterns_[index]);
}

QStringList TWinOpenDialog::CurrentPatterns() const {
    const auto* model = findChild<QFileSystemModel*>();
    return model ? model->nameFilters() : QStringList();
}

bool TWinOpenDialog::Execute() {
    return exec() == QDialog::Accepted && !FileName().isEmpty();
}

QString TWinOpenDialog::FileName() const {
    return selectedFiles().value(0);
}

TOpenPictureDialog::TOpenPictureDialog(QWidget* parent) : TWinOpenDialog(parent, {}, Filter()) {
    setObjectName(QStringLiteral("OpenPicDlg"));
    setFileMode(QFileDialog::ExistingFile);
    Preview = new QLabel(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setFixedSize(kPreviewSide, kPreviewSide);
    Preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Preview->setAlignment(Qt::AlignCenter);
    PreviewSize = new QLabel(this);
    PreviewSize->setAlignment(Qt::AlignCenter);
    auto* column = new QVBoxLayout;
    column->addWidget(PreviewSize);
    column->addWidget(Preview);
    column->addStretch(1);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addLayout(column, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &TOpenPictureDialog::ShowPreview);
}

QString TOpenPictureDialog::Filter() {
    return QStringLiteral(
        "画像ﾌｧｲﾙ (*.bmp;*.jpg;*.jpeg;*.ico;*.emf;*.wmf;*.png;*.gif;*.tif;*.tiff;*.webp;*.svg)|"
        "*.bmp;*.jpg;*.jpeg;*.ico;*.emf;*.wmf;*.png;*.gif;*.tif;*.tiff;*.webp;*.svg|"
        "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)|*.bmp|JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|ｱｲｺﾝ(*.ico)|*.ico|"
        "ﾒﾀﾌｧｲﾙ(*.emf;*.wmf)|*.emf;*.wmf|PNG (*.png)|*.png|GIF (*.gif)|*.gif|"
        "TIFF (*.tif;*.tiff)|*.tif;*.tiff|WebP (*.webp)|*.webp|SVG (*.svg)|*.svg");
}

// A file that does not load shows no preview; the error is for when it is opened.
void TOpenPictureDialog::ShowPreview(const QString& path) {
    Preview->clear();
    PreviewSize->clear();
    if (!QFileInfo(path).isFile())
        return;
    QImage image;
    try {
        image = PictureFile::Load(path);
    } catch (const std::exception&) {
        return;
    }
    PreviewSize->setText(QStringLiteral("(%1 x %2)").arg(image.width()).arg(image.height()));
    const QSize room = Preview->contentsRect().size();
    if (image.width() > room.width() || image.height() > room.height())
        image = image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Preview->setPixmap(QPixmap::fromImage(image));
}

TOpenExeDialog::TOpenExeDialog(QWidget* parent) : TWinOpenDialog(parent, Title(), Filter()) {
    setObjectName(QStringLiteral("OpenExeDlg"));
    setFileMode(QFileDialog::AnyFile);
}

QString TOpenExeDialog::Filter() {
    return QStringLiteral("実行ﾌｧｲﾙ(*.exe)|*.exe");
}

QString TOpenExeDialog::Title() {
    return QStringLiteral("アイコンを読み込む実行ファイルを選択してください");
}

QString TOpenExeDialog::NoFolderText() {
    return QStringLiteral("指定されたフォルダーは存在しません。");
}

void TOpenExeDialog::accept() {
    const QStringList files = selectedFiles();
    if (!files.isEmpty() && !QFileInfo(files.first()).absoluteDir().exists()) {
        Messages::ShowWarning(NoFolderText(), this);
        return;
    }
    QFileDialog::accept();
}
