// The module pages in the window: their forms bound to the page descriptions,
// the generate actions as the window runs them (buffer, preview file, fields
// written back, message boxes), the metrics the related-sales style shares
// with the shop type and the combo offer, the parameter memo's own wrapping
// and the picture fetching of the product details.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/linelist.h"
#include "modules/catalog.h"
#include "modules/product/parameters/parameters.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulepage.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;
using orv::test::choose;
using orv::test::click;
using orv::test::labelText;
using Server = orv::test::LoopbackServer;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TstModulePages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_window;
    Server m_server;

    QStringList metricLabels() const
    {
        return {labelText(*m_window, u"lblzongkuan"_s), labelText(*m_window, u"lblzonggao"_s),
                labelText(*m_window, u"lbltukuan"_s), labelText(*m_window, u"lbltugao"_s)};
    }
    ModulePage *page(const QString &id) const { return m_window->page(id); }
    QString relatedSalesSuffix() const
    {
        const PageSpec &pageSpec = page(u"tsguanlian"_s)->pageSpec();
        return pageSpec.entrySuffix(PageState{page(u"tsguanlian"_s)->values(), {}});
    }
    void generateDetails(const QString &style, const QString &count, const QString &addresses)
    {
        ModulePage *details = page(u"tsxijie"_s);
        orv::test::enter(*details, u"style"_s, style);
        orv::test::enter(*details, u"count"_s, count);
        orv::test::enter(*details, u"pictures"_s, addresses);
        click(*details, u"btn11"_s);
    }

private slots:
    void initTestCase()
    {
        qputenv("no_proxy", "127.0.0.1"); // the loopback server is never behind a proxy
        dialogs::setTestMode(true);
        m_server.route("/a.jpg", Server::Behaviour::Reply, Server::response(200, test::makeJpeg(750, 1000)));
    }

    void init()
    {
        dialogs::takeShown();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    // Every field of every page: its widget by component name, its caption on
    // its label (or its frame) and as its accessible name, its default.
    void formsAreBound()
    {
        for (const PageSpec *pageSpec : catalog::pages()) {
            ModulePage *modulePage = page(pageSpec->id);
            QVERIFY2(modulePage, qPrintable(pageSpec->id));
            for (const FieldSpec &f : pageSpec->fields) {
                QWidget *w = modulePage->fieldWidget(f.key);
                QVERIFY2(w && w->objectName() == f.name, qPrintable(pageSpec->id + u' ' + f.name));
                QCOMPARE(w->accessibleName(), f.label);
                QCOMPARE(modulePage->value(f.key), f.kind == FieldKind::Memo ? toCrLf(f.defaultText) : f.defaultText);
            }
            for (const QLabel *label : modulePage->findChildren<QLabel *>()) {
                if (label->buddy())
                    QCOMPARE(label->text(), label->buddy()->accessibleName());
            }
            QCOMPARE(child<QPushButton>(*modulePage, pageSpec->generateButton)->text(), pageSpec->generateCaption);
            QCOMPARE(child<QPushButton>(*modulePage, pageSpec->addButton)->text(), u"添加"_s);
        }
    }

    void styleChoiceAndShopTypeWriteMetrics()
    {
        click(*m_window, u"btnguanlian"_s);
        QCOMPARE(page(u"tsguanlian"_s)->value(u"style"_s), u"-1"_s);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"0"_s, u"0"_s, u"0"_s}));
        choose(*m_window, u"rgleixing"_s, 0);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"310"_s, u"180"_s, u"270"_s}));
        QCOMPARE(relatedSalesSuffix(), u"图文四列"_s);
        choose(*m_window, u"rgleixing"_s, 1);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"360"_s, u"243"_s, u"320"_s}));
        QCOMPARE(relatedSalesSuffix(), u"图文三列"_s);
        // The shop type clears the style and its metrics.
        choose(*m_window, u"rg1"_s, 1);
        QCOMPARE(metricLabels(), (QStringList{u"790"_s, u"0"_s, u"0"_s, u"0"_s}));
        QCOMPARE(page(u"tsguanlian"_s)->value(u"style"_s), u"-1"_s);
        QCOMPARE(relatedSalesSuffix(), QString());

        choose(*m_window, u"rgleixing"_s, 1);
        QCOMPARE(metricLabels(), (QStringList{u"790"_s, u"360"_s, u"256"_s, u"270"_s}));
    }

    void generateWithoutStyleReminds()
    {
        click(*m_window, u"btnguanlian"_s);
        m_window->workspace()->buffer().setText(u"earlier"_s);
        auto *links = child<QPlainTextEdit>(*m_window, u"mmothree"_s);
        links->setPlainText(u"\n  #|#|#|#  \n"_s);
        click(*m_window, u"btn14"_s);

        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, u"请选择生成类型后再生成代码！"_s);
        QCOMPARE(shown.first().caption, u"提示信息"_s);
        QCOMPARE(shown.first().icon, QMessageBox::NoIcon);
        QCOMPARE(m_window->workspace()->buffer().text(), u"earlier"_s);
        QCOMPARE(links->toPlainText(), u"#|#|#|#"_s);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"0"_s, u"0"_s, u"0"_s}));
    }

    void comboOfferWidthAndRelatedSalesAfterIt()
    {
        click(*m_window, u"btnguanlian"_s);
        choose(*m_window, u"rgleixing"_s, 0);
        click(*m_window, u"btndapei"_s);
        click(*m_window, u"btn7"_s);
        QCOMPARE(labelText(*m_window, u"lbltukuan"_s), u"220"_s);
        QVERIFY(m_window->workspace()->buffer().text().startsWith(u"<div style=\"width:750px;"_s));

        // The related-sales cards keep the width of their style.
        click(*m_window, u"btnguanlian"_s);
        click(*m_window, u"btn14"_s);
        QVERIFY(dialogs::takeShown().isEmpty());
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"310"_s, u"180"_s, u"270"_s}));
        QCOMPARE(m_window->workspace()->buffer().text().count(u"<li style=\"width:180px;"_s), 4);
    }

    void customHtmlSetsBufferOnly()
    {
        const QString file = m_window->privateFolder() + u"/file.html"_s;
        QFile::remove(file);
        click(*m_window, u"btnzidingyi"_s);
        child<QPlainTextEdit>(*m_window, u"mmo34"_s)->setPlainText(u"<p>a\nb\n"_s);
        click(*m_window, u"btn23"_s);
        QCOMPARE(m_window->workspace()->buffer().text(),
                 u"<table width=\"750\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td><p>a\r\nb\r\n"
                 "</td></tr></table>"_s);
        QVERIFY(!QFile::exists(file));

        click(*m_window, u"btnjiaoliu"_s);
        click(*m_window, u"btn22"_s);
        QVERIFY(m_window->workspace()->buffer().text().startsWith(u"<div style=\"width:750px;\">"_s));
        QCOMPARE(QString::fromUtf8(readAll(file)), m_window->workspace()->buffer().text());
        QVERIFY(dialogs::takeShown().isEmpty());
    }

    void displayFailureKeepsBuffer()
    {
        m_window->workspace()->buffer().setText(u"previous"_s);
        click(*m_window, u"btnzhanshi"_s);
        auto *memo = child<QPlainTextEdit>(*m_window, u"mmozhanshi"_s);
        memo->setPlainText(u"\n  a|b  \n\n"_s);
        child<QComboBox>(*m_window, u"cbb3"_s)->setEditText(u"abc"_s);
        click(*m_window, u"btn1"_s);
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, u"'abc' is not a valid integer value."_s);
        QCOMPARE(m_window->workspace()->buffer().text(), u"previous"_s);
        QCOMPARE(memo->toPlainText(), u"a|b"_s);

        child<QComboBox>(*m_window, u"cbb3"_s)->setEditText(u"0"_s);
        click(*m_window, u"btn1"_s);
        QVERIFY(dialogs::takeShown().isEmpty());
        QCOMPARE(m_window->workspace()->buffer().text(), QString());
    }

    // The parameter lines follow the memo's own wrapping at its width.
    void parameterLinesWrapAsShown()
    {
        ModulePage *parametersPage = page(u"tscanshu"_s);
        click(*m_window, u"btncanshu"_s);
        auto *memo = child<QPlainTextEdit>(*parametersPage, u"mmocanshu"_s);
        memo->setFixedWidth(400);
        QCoreApplication::processEvents();
        const QString defaults = parametersPage->value(u"parameters"_s);
        QCOMPARE(parametersPage->displayedLines(u"parameters"_s, defaults), splitLines(defaults));
        QCOMPARE(splitLines(defaults).size(), 7);

        memo->setFixedWidth(160);
        QCoreApplication::processEvents();
        const QString longLine = u"alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu"_s;
        const QString text = u"first\r\n"_s + longLine + u"\r\n\r\nlast\r\n"_s;
        orv::test::enter(*parametersPage, u"parameters"_s, text);
        const QStringList lines = parametersPage->displayedLines(u"parameters"_s, text);
        QCOMPARE(lines.first(), u"first"_s);
        QCOMPARE(lines.last(), u"last"_s);
        QCOMPARE(lines.at(lines.size() - 2), QString()); // the inner empty line
        const QStringList parts = lines.mid(1, lines.size() - 3);
        QVERIFY2(parts.size() >= 3, qPrintable(parts.join(u'/')));
        QCOMPARE(parts.join(QString()), longLine);
        const QFontMetrics metrics(memo->font());
        for (const QString &part : parts)
            QVERIFY(metrics.horizontalAdvance(part.trimmed()) <= memo->viewport()->width());

        // A text the memo does not hold is laid out the same way.
        QCOMPARE(parametersPage->displayedLines(u"parameters"_s, text + u"x"_s), lines + QStringList{u"x"_s});
        // An unbroken run wider than the field is cut anywhere.
        const QString run = QString(60, u'W');
        const QStringList cut = parametersPage->displayedLines(u"parameters"_s, run);
        QVERIFY(cut.size() > 1);
        QCOMPARE(cut.join(QString()), run);

        // The window's generator writes each displayed part as a line of its own.
        click(*parametersPage, u"btn18"_s);
        QStringList expected;
        for (const QString &line : lines)
            expected.append(line + u"<br>"_s);
        QVERIFY(m_window->workspace()->buffer().text().contains(u"</div>"_s + joinLines(expected)
                                                                + u"</div></div></div>"_s));
    }

    // The window measures the pictures as they arrive: no picture file is
    // written, neither in the private folder nor in the current one.
    void detailsOverlayMeasuresInMemory()
    {
        const bool strayBefore = QFile::exists(u"1.jpg"_s);
        generateDetails(u"1"_s, u"1"_s, m_server.url(u"/a.jpg"_s));
        QCOMPARE(dialogs::takeShown().size(), 0);
        QVERIFY(m_window->workspace()->buffer().text().contains(u"height:990px;"_s));
        QVERIFY(m_window->workspace()->buffer().text().contains(u"top:-950px;"_s));
        QVERIFY(!QFile::exists(QDir(m_window->privateFolder()).filePath(u"1.jpg"_s)));
        QCOMPARE(QFile::exists(u"1.jpg"_s), strayBefore);
    }

    // A slow fetch shows the progress dialog; cancelling it ends the action
    // without a message and without changing the fields, buffer or preview.
    void detailsCancelChangesNothing()
    {
        // The header never completes: a long EXIF block dripping in.
        m_server.route("/slow.jpg", Server::Behaviour::Drip,
                       QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n\xFF\xD8\xFF\xE1\xFF\xFF"));
        m_window->workspace()->buffer().setText(u"before"_s);
        const QString previewFile = QDir(m_window->privateFolder()).filePath(u"file.html"_s);
        const QByteArray previewBefore = readAll(previewFile);
        const QString addresses = u"\r\n"_s + m_server.url(u"/slow.jpg"_s) + u"|\r\n"_s + m_server.url(u"/a.jpg"_s);
        QString label;
        QTimer cancelling;
        connect(&cancelling, &QTimer::timeout, this, [&] {
            for (auto *dialog : m_window->findChildren<QProgressDialog *>()) {
                if (dialog->isVisible() && label.isEmpty()) {
                    label = dialog->labelText();
                    dialog->findChild<QPushButton *>()->click();
                }
            }
        });
        cancelling.start(50);
        generateDetails(u"1"_s, u"2"_s, addresses);
        QVERIFY2(label.startsWith(u"正在获取图片 "_s) && label.endsWith(u" / 2"_s), qPrintable(label));
        QCOMPARE(dialogs::takeShown().size(), 0);
        QCOMPARE(m_window->workspace()->buffer().text(), u"before"_s);
        QCOMPARE(readAll(previewFile), previewBefore);
        QCOMPARE(page(u"tsxijie"_s)->value(u"pictures"_s), addresses); // not even cleaned
    }
};

int main(int argc, char *argv[])
{
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstModulePages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modulepages.moc"
