#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class JiaoliuPage;
}

namespace orv {

class JiaoliuPage : public ModulePage {
    Q_OBJECT

public:
    explicit JiaoliuPage(QWidget *parent = nullptr);
    ~JiaoliuPage() override;

private:
    std::unique_ptr<Ui::JiaoliuPage> m_ui;
};

} // namespace orv
