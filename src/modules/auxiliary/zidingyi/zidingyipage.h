#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class ZidingyiPage;
}

namespace orv {

class ZidingyiPage : public ModulePage {
    Q_OBJECT

public:
    explicit ZidingyiPage(QWidget *parent = nullptr);
    ~ZidingyiPage() override;

private:
    std::unique_ptr<Ui::ZidingyiPage> m_ui;
};

} // namespace orv
