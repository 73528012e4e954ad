#include "dialogs.h"

#include "core/failure.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QPushButton>
#include <QQueue>
#include <QTimer>

#include <optional>
#include <variant>

namespace orv::dialogs {

using namespace Qt::StringLiterals;

namespace {

using BoxAction = std::function<void(QMessageBox &)>;

struct TestSeam {
    bool on = false;
    QQueue<std::variant<QMessageBox::StandardButton, BoxAction>> answers;
    QQueue<QString> fileNames;
    QQueue<PictureSettings> pictureSettings;
    QList<Shown> shown;
    QList<QUrl> opened;
};

TestSeam &seam()
{
    static TestSeam s;
    return s;
}

using ButtonTexts = QList<std::pair<QMessageBox::StandardButton, QString>>;

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                                const ButtonTexts &buttonTexts = {})
{
    TestSeam &s = seam();
    BoxAction action;
    if (s.on) {
        s.shown.append({icon, caption, text});
        if (s.answers.isEmpty())
            return defaultButton;
        auto answer = s.answers.dequeue();
        if (const auto *button = std::get_if<QMessageBox::StandardButton>(&answer))
            return *button;
        action = std::get<BoxAction>(std::move(answer));
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    for (const auto &[button, buttonText] : buttonTexts)
        box.button(button)->setText(buttonText);
    if (action)
        QTimer::singleShot(0, &box, [&box, &action] { action(box); });
    return QMessageBox::StandardButton(box.exec());
}

// Takes the next queued file name in test mode; nullopt outside it.
std::optional<QString> queuedFileName()
{
    TestSeam &s = seam();
    if (!s.on)
        return std::nullopt;
    return s.fileNames.isEmpty() ? QString() : s.fileNames.dequeue();
}

const QString promptCaption = u"提示信息"_s;

} // namespace

void inform(QWidget *parent, const QString &text)
{
    ask(parent, QMessageBox::NoIcon, promptCaption, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool confirm(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::NoIcon, promptCaption, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}

void showError(QWidget *parent, const QString &message)
{
    ask(parent, QMessageBox::Critical, QString::fromLatin1(applicationTitle), errorBoxText(message), QMessageBox::Ok,
        QMessageBox::Ok);
}

QMessageBox::StandardButton askToSave(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::Question, promptCaption, text,
               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save,
               {{QMessageBox::Save, u"保存"_s}, {QMessageBox::Discard, u"不保存"_s}, {QMessageBox::Cancel, u"取消"_s}});
}

// 以后再说 is Cancel, which Qt makes the box's answer to Esc and to its close
// button; without it, they would answer 丢弃 (the only button of its role).
RecoveryChoice askToRecover(QWidget *parent, const QString &text)
{
    switch (ask(parent, QMessageBox::Question, promptCaption, text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                {{QMessageBox::Yes, u"恢复"_s}, {QMessageBox::No, u"丢弃"_s}, {QMessageBox::Cancel, u"以后再说"_s}})) {
    case QMessageBox::Yes:
        return RecoveryChoice::Recover;
    case QMessageBox::No:
        return RecoveryChoice::Discard;
    default:
        return RecoveryChoice::Later;
    }
}

bool confirmDiscard(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::Warning, promptCaption, text, QMessageBox::Discard | QMessageBox::Cancel,
               QMessageBox::Cancel, {{QMessageBox::Discard, u"丢弃"_s}, {QMessageBox::Cancel, u"取消"_s}})
           == QMessageBox::Discard;
}

bool askToCopyAnyway(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::Warning, promptCaption, text, QMessageBox::Yes | QMessageBox::Cancel,
               QMessageBox::Yes, {{QMessageBox::Yes, u"仍然复制"_s}, {QMessageBox::Cancel, u"取消"_s}})
           == QMessageBox::Yes;
}

QString openFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    if (const std::optional<QString> queued = queuedFileName())
        return *queued;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &suggestion, const QString &filter)
{
    if (const std::optional<QString> queued = queuedFileName())
        return *queued;
    return QFileDialog::getSaveFileName(parent, caption, suggestion, filter);
}

QString folderName(QWidget *parent, const QString &caption, const QString &folder)
{
    if (const std::optional<QString> queued = queuedFileName())
        return *queued;
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

std::optional<PictureSettings> askPictureSettings(QWidget *parent, const QString &what, int pageWidth,
                                                  const PictureSettings &initial)
{
    TestSeam &s = seam();
    if (s.on) {
        s.shown.append({QMessageBox::NoIcon, u"导出手机详情图片"_s, what});
        if (s.pictureSettings.isEmpty())
            return std::nullopt;
        return s.pictureSettings.dequeue();
    }
    PicturesDialog dialog(what, pageWidth, initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.settings();
}

bool askToReplace(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::Question, promptCaption, text, QMessageBox::Yes | QMessageBox::Cancel,
               QMessageBox::Cancel, {{QMessageBox::Yes, u"替换"_s}, {QMessageBox::Cancel, u"取消"_s}})
           == QMessageBox::Yes;
}

bool askToContinue(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::Warning, promptCaption, text, QMessageBox::Yes | QMessageBox::Cancel,
               QMessageBox::Cancel, {{QMessageBox::Yes, u"继续导出"_s}, {QMessageBox::Cancel, u"停止"_s}})
           == QMessageBox::Yes;
}

bool askToOpenFolder(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::Information, promptCaption, text, QMessageBox::Open | QMessageBox::Close,
               QMessageBox::Open, {{QMessageBox::Open, u"打开文件夹"_s}, {QMessageBox::Close, u"关闭"_s}})
           == QMessageBox::Open;
}

void openUrl(const QUrl &url)
{
    TestSeam &s = seam();
    if (s.on)
        s.opened.append(url);
    else
        QDesktopServices::openUrl(url);
}

void setTestMode(bool on)
{
    TestSeam &s = seam();
    s.on = on;
    s.answers.clear();
    s.fileNames.clear();
    s.pictureSettings.clear();
    s.shown.clear();
    s.opened.clear();
}

void queuePictureSettings(const PictureSettings &settings)
{
    seam().pictureSettings.enqueue(settings);
}

QList<QUrl> takeOpenedUrls()
{
    return std::exchange(seam().opened, {});
}

void queueAnswer(QMessageBox::StandardButton answer)
{
    seam().answers.enqueue(answer);
}

void queueAction(std::function<void(QMessageBox &)> action)
{
    seam().answers.enqueue(std::move(action));
}

void queueFileName(const QString &path)
{
    seam().fileNames.enqueue(path);
}

QList<Shown> takeShown()
{
    return std::exchange(seam().shown, {});
}

} // namespace orv::dialogs
