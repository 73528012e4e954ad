#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class FengetiaoPage;
}

namespace orv {

class FengetiaoPage : public ModulePage {
    Q_OBJECT

public:
    explicit FengetiaoPage(QWidget *parent = nullptr);
    ~FengetiaoPage() override;

private:
    std::unique_ptr<Ui::FengetiaoPage> m_ui;
};

} // namespace orv
