#include "ScreenImageDialog.h"

#include "ExportFileTypes.h"
#include "ImageSaver.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quorrel::output {

namespace {

// Up to this many digits can be typed, so a size out of range stays in the
// box to be refused with a message at OK instead of being changed quietly.
constexpr int kTypableSide = 999999;

QSpinBox* SideBox(QWidget* parent, const QString& name, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, kTypableSide);
    box->setValue(std::clamp(value, 1, CScreenImageDialog::kMaxSide));
    box->setSuffix(QStringLiteral(" pixels"));
    return box;
}

} // namespace

QString CScreenImageDialog::Title() { return tr("Export Screen-Sized Image"); }

QString ProposedScreenImagePath(const QString& folder, const QString& documentTitle)
{
    return QDir(folder).filePath(InitialExportName(documentTitle) + QStringLiteral("-wallpaper.png"));
}

CScreenImageDialog::CScreenImageDialog(QWidget* parent, const CScreenImageSetup& setup, IExportFileChooser& browse)
    : QDialog(parent), m_setup(setup), m_browse(browse), m_nFilterIndex(setup.filterIndex)
{
    setWindowTitle(Title());
    const QSize size = setup.size.isValid() && !setup.size.isEmpty() ? setup.size : QSize(1920, 1080);
    m_pWidth = SideBox(this, tr("Width"), size.width());
    m_pHeight = SideBox(this, tr("Height"), size.height());

    m_pSmooth = new QComboBox(this);
    m_pSmooth->setObjectName(QStringLiteral("Smooth"));
    for (const int factor : kSmoothFactors)
        m_pSmooth->addItem(factor == 1 ? tr("Off") : tr("%1 × %1").arg(factor), factor);
    m_pSmooth->setCurrentIndex(std::max(0, m_pSmooth->findData(setup.smooth)));

    m_pScale = new QComboBox(this);
    m_pScale->setObjectName(QStringLiteral("Scale"));
    for (const int scale : kScales)
        m_pScale->addItem(QStringLiteral("%1\u00d7").arg(scale), scale);
    m_pScale->setCurrentIndex(std::max(0, m_pScale->findData(setup.scale)));

    m_pPath = new QLineEdit(setup.path, this);
    m_pPath->setObjectName(QStringLiteral("File"));
    m_pPath->setMinimumWidth(320);
    auto* browseButton = new QPushButton(tr("&Browse..."), this);
    browseButton->setObjectName(QStringLiteral("Browse"));
    connect(browseButton, &QPushButton::clicked, this, &CScreenImageDialog::OnBrowse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_pPath, 1);
    fileRow->addWidget(browseButton);

    auto* form = new QFormLayout;
    form->addRow(tr("&Width:"), m_pWidth);
    form->addRow(tr("&Height:"), m_pHeight);
    form->addRow(tr("&Smooth:"), m_pSmooth);
    form->addRow(tr("S&cale:"), m_pScale);
    auto* fileLabel = new QLabel(tr("&File:"), this);
    fileLabel->setBuddy(m_pPath);   // a row of two widgets has no buddy of its own
    form->addRow(fileLabel, fileRow);

    auto* note = new QLabel(this);
    note->setObjectName(QStringLiteral("Note"));
    note->setWordWrap(true);
    // The tile repeated is the one the chosen scale renders.
    const auto describe = [this, note] {
        const int scale = std::max(1, m_pScale->currentData().toInt());
        note->setText(
            QStringLiteral("The %1 \u00d7 %2 tile repeated from the top-left corner, as a desktop shows it tiled. "
                           "The file name's extension decides the format. Smooth computes 4 or 16 samples a pixel: "
                           "softer edges, 4 or 16 times the work. Scale renders the same pattern at 2 to 4 times "
                           "the tile's width and height: larger and calmer, still seamless.")
                .arg(m_setup.tile.width() * scale)
                .arg(m_setup.tile.height() * scale));
    };
    describe();
    connect(m_pScale, &QComboBox::currentIndexChanged, note, describe);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScreenImageDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScreenImageDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void CScreenImageDialog::OnBrowse()
{
    CExportDialogSetup setup = MakeExportDialogSetup(m_setup.documentTitle, m_nFilterIndex);
    setup.title = Title();
    const QFileInfo current(m_pPath->text().trimmed());
    if (!current.fileName().isEmpty())
        setup.initialName = current.completeBaseName();
    if (!current.path().isEmpty() && QFileInfo(current.absolutePath()).isDir())
        setup.directory = current.absolutePath();
    const std::optional<CExportChoice> chosen = m_browse.Choose(this, setup);
    if (!chosen)
        return;
    m_nFilterIndex = chosen->filterIndex;
    m_strConfirmed = CompleteExportPath(chosen->path, chosen->filterIndex);
    m_pPath->setText(m_strConfirmed);
}

void CScreenImageDialog::accept()
{
    for (QSpinBox* side : {m_pWidth, m_pHeight}) {
        if (side->value() < 1 || side->value() > kMaxSide) {
            QMessageBox::warning(this, Title(),
                                 tr("Please enter an integer between %1 and %2.").arg(1).arg(kMaxSide));
            side->setFocus();
            side->selectAll();
            return;
        }
    }
    const QString typed = m_pPath->text().trimmed();
    if (typed.isEmpty()) {
        QMessageBox::warning(this, Title(), tr("Choose a file name for the image."));
        m_pPath->setFocus();
        return;
    }
    const QString path = CompleteExportPath(typed, m_nFilterIndex);
    if (!EncoderForPath(path)) {
        QMessageBox::warning(this, Title(),
                             tr("%1\nThe extension names no image format this program writes: use .bmp, "
                                            ".jpg, .png, .gif or .tif.")
                                 .arg(path));
        m_pPath->setFocus();
        return;
    }
    if (QFileInfo(path).isDir()) {
        QMessageBox::warning(this, Title(), tr("%1\nThis is a folder. Choose a file name.").arg(path));
        m_pPath->setFocus();
        return;
    }
    if (MissingFolder(path)) {
        QMessageBox::warning(this, Title(), MissingFolderText(path));
        m_pPath->setFocus();
        return;
    }
    if (path != m_strConfirmed && QFileInfo::exists(path) &&
        QMessageBox::question(this, Title(), tr("%1 already exists.\nDo you want to replace it?").arg(path),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        m_pPath->setFocus();
        return;
    }
    m_choice = {QSize(m_pWidth->value(), m_pHeight->value()), m_pSmooth->currentData().toInt(),
                m_pScale->currentData().toInt(), path, m_nFilterIndex};
    QDialog::accept();
}

} // namespace quorrel::output
