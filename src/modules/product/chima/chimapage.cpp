#include "chimapage.h"

#include "chima.h"
#include "ui_chimapage.h"

namespace orv {

ChimaPage::ChimaPage(QWidget *parent)
    : ModulePage(chima::page(), parent)
    , m_ui(std::make_unique<Ui::ChimaPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

ChimaPage::~ChimaPage() = default;

} // namespace orv
