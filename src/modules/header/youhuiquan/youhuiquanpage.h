#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class YouhuiquanPage;
}

namespace orv {

class YouhuiquanPage : public ModulePage {
    Q_OBJECT

public:
    explicit YouhuiquanPage(QWidget *parent = nullptr);
    ~YouhuiquanPage() override;

private:
    std::unique_ptr<Ui::YouhuiquanPage> m_ui;
};

} // namespace orv
