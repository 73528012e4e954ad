#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace orv {

// What the seller chooses for the pictures of the mobile description.
struct PictureSettings {
    QString folder;
    int width = 750; // pixels, 480 to 1500
    bool png = false;
    int maxHeight = 2000; // a picture's height limit: 2000 (both editors) or 2500 (the older mobile description)

    bool operator==(const PictureSettings &) const = default;
};

// 文件 → 导出手机详情图片…: the folder (typed or chosen), the picture width
// (480 to 1500 pixels, the page width offered first), the format and the
// height limit (2000 for the newer description editor and the older mobile
// description, 2500 for the older one only). It says what is exported; 导出
// is enabled once a folder is named.
class PicturesDialog : public QDialog {
    Q_OBJECT

public:
    // what: the sentence saying which page is exported; pageWidth: the width
    // the page is drawn at, named beside the width field.
    PicturesDialog(const QString &what, int pageWidth, const PictureSettings &initial, QWidget *parent = nullptr);

    PictureSettings settings() const;

    static constexpr int minWidth = 480;
    static constexpr int maxWidth = 1500;

private:
    void browse();
    void updateButton();

    QLineEdit *m_folder;
    QSpinBox *m_width;
    QComboBox *m_format;
    QComboBox *m_height;
    QPushButton *m_export = nullptr;
};

} // namespace orv
