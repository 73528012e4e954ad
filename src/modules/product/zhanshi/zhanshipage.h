#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class ZhanshiPage;
}

namespace orv {

class ZhanshiPage : public ModulePage {
    Q_OBJECT

public:
    explicit ZhanshiPage(QWidget *parent = nullptr);
    ~ZhanshiPage() override;

private:
    std::unique_ptr<Ui::ZhanshiPage> m_ui;
};

} // namespace orv
