#include "fengetiaopage.h"

#include "fengetiao.h"
#include "ui_fengetiaopage.h"

namespace orv {

FengetiaoPage::FengetiaoPage(QWidget *parent)
    : ModulePage(fengetiao::page(), parent)
    , m_ui(std::make_unique<Ui::FengetiaoPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

FengetiaoPage::~FengetiaoPage() = default;

} // namespace orv
