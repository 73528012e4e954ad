#include "picturesdialog.h"

#include "widgets/dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

PicturesDialog::PicturesDialog(const QString &what, int pageWidth, const PictureSettings &initial, QWidget *parent)
    : QDialog(parent)
    , m_folder(new QLineEdit(QDir::toNativeSeparators(initial.folder), this))
    , m_width(new QSpinBox(this))
    , m_format(new QComboBox(this))
    , m_height(new QComboBox(this))
{
    setObjectName(u"frmpictures"_s);
    setWindowTitle(u"导出手机详情图片"_s);

    auto *whatLabel = new QLabel(what, this);
    whatLabel->setObjectName(u"lblwhat"_s);
    whatLabel->setWordWrap(true);

    m_folder->setObjectName(u"edtfolder"_s);
    auto *browseButton = new QPushButton(u"浏览(&B)…"_s, this);
    browseButton->setObjectName(u"btnbrowse"_s);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browseButton);

    m_width->setObjectName(u"spnwidth"_s);
    m_width->setRange(minWidth, maxWidth);
    m_width->setValue(initial.width);
    m_width->setSuffix(u" 像素"_s);
    auto *widthNote = new QLabel(u"页面宽度 %1 像素；手机端常用 1242"_s.arg(pageWidth), this);
    auto *widthRow = new QHBoxLayout;
    widthRow->addWidget(m_width);
    widthRow->addWidget(widthNote, 1);

    m_format->setObjectName(u"cbbformat"_s);
    m_format->addItems({u"JPEG (.jpg)"_s, u"PNG (.png)"_s});
    m_format->setCurrentIndex(initial.png ? 1 : 0);

    m_height->setObjectName(u"cbbheight"_s);
    m_height->addItem(u"2000 像素（新版详情编辑器和旧版手机详情都可用）"_s, 2000);
    m_height->addItem(u"2500 像素（仅旧版手机详情）"_s, 2500);
    m_height->setCurrentIndex(initial.maxHeight == 2500 ? 1 : 0);

    auto *form = new QFormLayout;
    form->addRow(u"文件夹(&F)："_s, folderRow);
    form->addRow(u"图片宽度(&W)："_s, widthRow);
    form->addRow(u"格式(&T)："_s, m_format);
    form->addRow(u"图片高度上限(&H)："_s, m_height);
    // The labels name their fields for the screen reader and the mnemonics.
    qobject_cast<QLabel *>(form->labelForField(folderRow))->setBuddy(m_folder);
    qobject_cast<QLabel *>(form->labelForField(widthRow))->setBuddy(m_width);

    auto *rules = new QLabel(u"图片依次命名为 01.jpg、02.jpg……，每张大小不超过 3 MB，尽量在版块之间切开，"
                             "不从链接中间切开；pictures.txt 列出全部图片，slices.json 列出图片和链接的热区。"_s,
                             this);
    rules->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_export = buttons->button(QDialogButtonBox::Ok);
    m_export->setText(u"导出"_s);
    m_export->setObjectName(u"btnexport"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"取消"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(whatLabel);
    layout->addLayout(form);
    layout->addWidget(rules);
    layout->addWidget(buttons);
    setMinimumWidth(460);

    connect(browseButton, &QPushButton::clicked, this, &PicturesDialog::browse);
    connect(m_folder, &QLineEdit::textChanged, this, &PicturesDialog::updateButton);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButton();
}

PictureSettings PicturesDialog::settings() const
{
    return {QDir::fromNativeSeparators(m_folder->text().trimmed()), m_width->value(), m_format->currentIndex() == 1,
            m_height->currentData().toInt()};
}

void PicturesDialog::browse()
{
    const QString start = m_folder->text().trimmed().isEmpty() ? QDir::homePath() : settings().folder;
    const QString chosen = dialogs::folderName(this, u"选择保存图片的文件夹"_s, start);
    if (!chosen.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(chosen));
}

void PicturesDialog::updateButton()
{
    m_export->setEnabled(!m_folder->text().trimmed().isEmpty());
}

} // namespace orv
