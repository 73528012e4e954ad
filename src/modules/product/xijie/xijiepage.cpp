#include "xijiepage.h"

#include "xijie.h"
#include "ui_xijiepage.h"

namespace orv {

XijiePage::XijiePage(QWidget *parent)
    : ModulePage(xijie::page(), parent)
    , m_ui(std::make_unique<Ui::XijiePage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

XijiePage::~XijiePage() = default;

} // namespace orv
