#pragma once

#include "core/page.h"

#include <QWidget>

namespace orv {

// The page of one module in the page control: its Designer form, set up from
// the module's description. The page takes its defaults, choices and captions
// from the description and reads and writes field texts by field key. Memo
// texts cross this boundary as CR LF texts.
class ModulePage : public QWidget {
    Q_OBJECT

public:
    explicit ModulePage(const PageSpec &pageSpec, QWidget *parent = nullptr);

    const PageSpec &pageSpec() const { return m_spec; }

    FieldValues values() const;
    QString value(const QString &key) const;
    void setValue(const QString &key, const QString &text);
    void setValues(const FieldValues &values);

    // The widget of a field, found by its component name.
    QWidget *fieldWidget(const QString &key) const;

    // The lines of a memo as it lays the text out at its current width and
    // font: a line wider than the field gives one line per wrapped part.
    QStringList displayedLines(const QString &key, const QString &text) const;

    // Tool tips of the page's 生成 and 添加 buttons that name their keys.
    void setButtonToolTips(const QString &generate, const QString &add);

signals:
    void generateRequested();
    void addRequested();
    // The user chose an item of one of the page's radio groups.
    void choiceMade();
    // The user changed a field (a text, a choice); setting values does not count.
    void edited(const QString &key);

private:
    void bindFields();
    void watch(const QString &key, QWidget *field);
    void userEdit(const QString &key);

    const PageSpec &m_spec;
    bool m_settingValues = false;
};

} // namespace orv
