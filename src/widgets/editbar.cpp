#include "editbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace orv {

using namespace Qt::StringLiterals;

EditBar::EditBar(QWidget *parent)
    : QFrame(parent)
    , m_label(new QLabel(this))
{
    setObjectName(u"editBar"_s);
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xD6));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);

    m_label->setObjectName(u"editBarLabel"_s);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    auto *update = new QPushButton(u"更新"_s, this);
    update->setObjectName(u"editUpdate"_s);
    update->setToolTip(u"用此页面现在生成的代码和内容替换该条目"_s);
    auto *cancel = new QPushButton(u"取消"_s, this);
    cancel->setObjectName(u"editCancel"_s);
    cancel->setToolTip(u"结束编辑，条目保持不变"_s);
    connect(update, &QPushButton::clicked, this, &EditBar::updateRequested);
    connect(cancel, &QPushButton::clicked, this, &EditBar::cancelRequested);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->addWidget(m_label, 1);
    layout->addWidget(update);
    layout->addWidget(cancel);
    hide();
}

void EditBar::showFor(int number, const QString &name)
{
    m_label->setText(u"正在编辑第 %1 项 %2"_s.arg(number).arg(name.trimmed()));
    setAccessibleName(m_label->text());
    show();
}

} // namespace orv
