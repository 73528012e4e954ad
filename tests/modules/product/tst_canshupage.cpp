#include "app/text/linelist.h"
#include "modules/product/canshu/canshu.h"
#include "modules/product/canshu/canshupage.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace orv;
using namespace Qt::StringLiterals;

// The parameter lines follow the memo's own wrapping at its width.
class TstCanshuPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_page = std::make_unique<CanshuPage>();
        m_memo = m_page->findChild<QPlainTextEdit *>(u"mmocanshu"_s);
        QVERIFY(m_memo);
        m_memo->setFixedWidth(160);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    }

    void defaultsAreNotWrapped()
    {
        m_memo->setFixedWidth(400);
        QCoreApplication::processEvents();
        const QString text = m_page->value(u"mmocanshu"_s);
        QCOMPARE(m_page->displayedLines(u"mmocanshu"_s, text), SplitLines(text));
        QCOMPARE(SplitLines(text).size(), 7);
        m_memo->setFixedWidth(160);
        QCoreApplication::processEvents();
    }

    void longLineWraps()
    {
        const QString longLine = u"alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu"_s;
        const QString text = u"first\r\n"_s + longLine + u"\r\n\r\nlast\r\n"_s;
        m_page->setValue(u"mmocanshu"_s, text);
        const QStringList lines = m_page->displayedLines(u"mmocanshu"_s, text);

        QCOMPARE(lines.first(), u"first"_s);
        QCOMPARE(lines.last(), u"last"_s);
        QCOMPARE(lines.at(lines.size() - 2), QString()); // the inner empty line
        const QStringList parts = lines.mid(1, lines.size() - 3);
        QVERIFY2(parts.size() >= 3, qPrintable(parts.join(u'/')));
        QCOMPARE(parts.join(QString()), longLine);
        const QFontMetrics metrics(m_memo->font());
        for (const QString &part : parts)
            QVERIFY(metrics.horizontalAdvance(part.trimmed()) <= m_memo->viewport()->width());

        // A text the memo does not hold is laid out the same way.
        QCOMPARE(m_page->displayedLines(u"mmocanshu"_s, text + u"x"_s), lines + QStringList{u"x"_s});
        // An unbroken run wider than the field is cut anywhere.
        const QString run = QString(60, u'W');
        QStringList cut = m_page->displayedLines(u"mmocanshu"_s, run);
        QVERIFY(cut.size() > 1);
        QCOMPARE(cut.join(QString()), run);

        // The generator writes each displayed part as a line of its own.
        PageState state{m_page->values(), {}};
        Services services;
        services.displayedLines = [this](const QString &field, const QString &memo) {
            return m_page->displayedLines(field, memo);
        };
        const QString fragment = canshu::btn18Click(state, services).fragment;
        QStringList expected;
        for (const QString &line : lines)
            expected.append(line + u"<br>"_s);
        QVERIFY(fragment.contains(u"</div>"_s + JoinLines(expected) + u"</div></div></div>"_s));
    }

private:
    std::unique_ptr<CanshuPage> m_page;
    QPlainTextEdit *m_memo = nullptr;
};

QTEST_MAIN(TstCanshuPage)
#include "tst_canshupage.moc"
