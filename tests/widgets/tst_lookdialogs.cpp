// The dialogs of the shop's look, driven as a user would: the shared values
// (edits, renames, bad names, style files) and the colours in use.

#include "core/colours.h"
#include "support/files.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/replacecolourdialog.h"
#include "widgets/sharedvaluesdialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;
using orv::test::click;

namespace {

const SharedValues look{{u"主色"_s, u"#FF6600"_s}, {u"辅色"_s, u"#EEEEEE"_s}, {u"店铺名称"_s, u"甲店"_s}};

QStringList renamesOf(const QList<ValueRename> &renames)
{
    QStringList texts;
    for (const ValueRename &rename : renames)
        texts.append(rename.from + u'>' + rename.to);
    return texts;
}

QStringList columnOf(const QTableWidget &table, int column)
{
    QStringList texts;
    for (int row = 0; row < table.rowCount(); ++row)
        texts.append(table.item(row, column)->text());
    return texts;
}

} // namespace

class TstLookDialogs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::optional<QColor> m_answer;
    QList<QColor> m_offered;

    ColourFields::Chooser chooser()
    {
        return [this](const QColor &initial) {
            m_offered.append(initial);
            return m_answer;
        };
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        dialogs::setTestMode(true);
    }

    void init()
    {
        dialogs::setTestMode(true);
        m_offered.clear();
        m_answer = QColor(0x12, 0x34, 0x56);
    }

    // What the table holds once edited is what changeSharedValues() takes.
    void sharedValuesEdited()
    {
        struct Case {
            const char *name;
            std::function<void(SharedValuesDialog &, QTableWidget &)> edit;
            QStringList names, values, renames, uses;
        };
        const QList<Case> cases{
            {"value typed",
             [](auto &, QTableWidget &t) { t.item(2, 1)->setText(u" 乙店"_s); },
             {u"主色"_s, u"辅色"_s, u"店铺名称"_s},
             {u"#FF6600"_s, u"#EEEEEE"_s, u" 乙店"_s},
             {},
             {u"2"_s, u"0"_s, u"1"_s}},
            {"colour chosen by a double-click",
             [](auto &d, QTableWidget &t) {
                 d.show();
                 QVERIFY(QTest::qWaitForWindowExposed(&d));
                 const QPoint at = t.visualItemRect(t.item(0, 1)).center();
                 QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, at);
                 QTest::mouseDClick(t.viewport(), Qt::LeftButton, {}, at);
             },
             {u"主色"_s, u"辅色"_s, u"店铺名称"_s},
             {u"#123456"_s, u"#EEEEEE"_s, u"甲店"_s},
             {},
             {u"2"_s, u"0"_s, u"1"_s}},
            {"renamed and renamed back",
             [](auto &, QTableWidget &t) {
                 t.item(0, 0)->setText(u" 品牌色 "_s);
                 t.item(1, 0)->setText(u"X"_s);
                 t.item(1, 0)->setText(u"辅色"_s);
             },
             {u"品牌色"_s, u"辅色"_s, u"店铺名称"_s},
             {u"#FF6600"_s, u"#EEEEEE"_s, u"甲店"_s},
             {u"主色>品牌色"_s},
             {u"2"_s, u"0"_s, u"1"_s}},
            {"two added, one named after a used slot",
             [](auto &d, QTableWidget &t) {
                 click(d, u"btnaddvalue"_s);
                 click(d, u"btnaddvalue"_s);
                 t.item(4, 0)->setText(u"文字色"_s);
             },
             {u"主色"_s, u"辅色"_s, u"店铺名称"_s, u"新值"_s, u"文字色"_s},
             {u"#FF6600"_s, u"#EEEEEE"_s, u"甲店"_s, QString(), QString()},
             {},
             {u"2"_s, u"0"_s, u"1"_s, u"0"_s, u"4"_s}},
            {"removed, another renamed to its name",
             [](auto &d, QTableWidget &t) {
                 t.setCurrentCell(0, 0);
                 click(d, u"btnremovevalue"_s);
                 t.item(0, 0)->setText(u"主色"_s);
             },
             {u"主色"_s, u"店铺名称"_s},
             {u"#EEEEEE"_s, u"甲店"_s},
             {u"辅色>主色"_s},
             {u"0"_s, u"1"_s}},
        };
        const QHash<QString, int> uses{{u"主色"_s, 2}, {u"店铺名称"_s, 1}, {u"文字色"_s, 4}};
        for (const Case &c : cases) {
            SharedValuesDialog dialog(
                look, [&](const QString &name) { return uses.value(name); }, chooser());
            auto &table = *child<QTableWidget>(dialog, u"tblvalues"_s);
            c.edit(dialog, table);
            const SharedValuesDialog::Change result = dialog.change();
            QStringList names, values;
            for (const SharedValue &value : result.values) {
                names.append(value.name);
                values.append(value.value);
            }
            QVERIFY2(names == c.names, c.name);
            QVERIFY2(values == c.values, c.name);
            QVERIFY2(renamesOf(result.renames) == c.renames, c.name);
            QVERIFY2(columnOf(table, 2) == c.uses, c.name);
            dialog.accept();
            QVERIFY2(dialog.result() == QDialog::Accepted, c.name);
        }
        QCOMPARE(m_offered, QList<QColor>{QColor(0xFF, 0x66, 0x00)});
    }

    // 确定 stays open on a bad or repeated name and names the row.
    void sharedValuesRefusesBadNames_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << 1 << u"  "_s << u"第 2 行没有名称"_s;
        QTest::newRow("slot") << 2 << u"a{{b"_s << u"第 3 行的名称“a{{b”不能用"_s;
        QTest::newRow("twice") << 2 << u" 主色"_s << u"第 1 行和第 3 行都叫“主色”"_s;
    }
    void sharedValuesRefusesBadNames()
    {
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(QString, message);
        SharedValuesDialog dialog(look, {}, chooser());
        auto *table = child<QTableWidget>(dialog, u"tblvalues"_s);
        table->item(row, 0)->setText(name);
        for (const QString &button : {u"btnok"_s, u"btnsavestyle"_s}) {
            click(dialog, button);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            const QList<dialogs::Shown> shown = dialogs::takeShown();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].text.startsWith(message), qPrintable(shown[0].text));
            QCOMPARE(table->currentRow(), row);
        }
    }

    // Saved through the dialog and laid over another project's values.
    void styleFileRoundTrip()
    {
        const QString path = m_dir.filePath(u"店"_s);
        {
            SharedValuesDialog dialog(look, {}, chooser());
            dialogs::queueFileName(path);
            click(dialog, u"btnsavestyle"_s);
        }
        QCOMPARE(readStyleFile(path + u".orvanta-style"_s), look);

        const SharedValues other{{u"字体"_s, u"宋体"_s}, {u"主色"_s, u"#000000"_s}};
        SharedValuesDialog dialog(other, {}, chooser());
        test::writeFile(m_dir.filePath(u"broken.orvanta-style"_s), "{");
        dialogs::queueFileName(m_dir.filePath(u"broken.orvanta-style"_s));
        click(dialog, u"btnloadstyle"_s);
        QCOMPARE(dialogs::takeShown().size(), 1);
        QCOMPARE(dialog.change().values, other);

        dialogs::queueFileName(path + u".orvanta-style"_s);
        click(dialog, u"btnloadstyle"_s);
        QCOMPARE(dialogs::takeShown().size(), 0);
        QCOMPARE(dialog.change().values, withStyle(other, look));
        QVERIFY(dialog.change().renames.isEmpty());
        // The rows the style added are new values: renaming one renames nothing.
        child<QTableWidget>(dialog, u"tblvalues"_s)->item(2, 0)->setText(u"副色"_s);
        QVERIFY(dialog.change().renames.isEmpty());
    }

    void replaceColourRequests()
    {
        using Kind = ColourRequest::Kind;
        struct Case {
            const char *name;
            int row;
            std::function<void(ReplaceColourDialog &)> act;
            std::optional<ColourRequest> request;
        };
        const auto type = [](const QString &field, const QString &text) {
            return [=](ReplaceColourDialog &d) {
                if (auto *combo = d.findChild<QComboBox *>(field))
                    combo->setEditText(text);
                else
                    child<QLineEdit>(d, field)->setText(text);
            };
        };
        const QList<Case> cases{
            {"typed", 0,
             [&](auto &d) {
                 type(u"edtreplacement"_s, u" #00ff00 "_s)(d);
                 click(d, u"btnreplace"_s);
             },
             ColourRequest{Kind::Replace, u"#FF3300"_s, u"#00ff00"_s}},
            {"chosen", 1,
             [](auto &d) {
                 click(d, u"btnchoosecolour"_s);
                 click(d, u"btnreplace"_s);
             },
             ColourRequest{Kind::Replace, u"red"_s, u"#123456"_s}},
            {"nothing typed", 0, [](auto &d) { click(d, u"btnreplace"_s); }, std::nullopt},
            {"bound to the value of that colour", 0, [](auto &d) { click(d, u"btnbind"_s); },
             ColourRequest{Kind::Bind, u"#FF3300"_s, u"主色"_s}},
            {"bound to the first usual name free", 1, [](auto &d) { click(d, u"btnbind"_s); },
             ColourRequest{Kind::Bind, u"red"_s, u"文字色"_s}},
            {"bound to a name typed", 1,
             [&](auto &d) {
                 type(u"cbbvaluename"_s, u" 强调色 "_s)(d);
                 QTest::keyClick(child<QComboBox>(d, u"cbbvaluename"_s)->lineEdit(), Qt::Key_Return);
             },
             ColourRequest{Kind::Bind, u"red"_s, u"强调色"_s}},
            {"a bad name", 1,
             [&](auto &d) {
                 type(u"cbbvaluename"_s, u"a}}"_s)(d);
                 click(d, u"btnbind"_s);
             },
             std::nullopt},
        };
        const QList<ColourUse> colours{{u"#FF3300"_s, 3}, {u"red"_s, 1}};
        const SharedValues values{{u"主色"_s, u"#f30"_s}, {u"辅色"_s, u"#EEEEEE"_s}};
        for (const Case &c : cases) {
            ReplaceColourDialog dialog(colours, values, chooser());
            auto *table = child<QTableWidget>(dialog, u"tblcolours"_s);
            QCOMPARE(columnOf(*table, 0), (QStringList{u"#FF3300"_s, u"red"_s}));
            QCOMPARE(columnOf(*table, 1), (QStringList{u"3"_s, u"1"_s}));
            table->setCurrentCell(c.row, 0);
            c.act(dialog);
            QVERIFY2(dialog.request() == c.request, c.name);
            QVERIFY2(dialog.result() == (c.request ? QDialog::Accepted : QDialog::Rejected), c.name);
        }
        QCOMPARE(m_offered, QList<QColor>{QColor(Qt::red)});
    }
};

QTEST_MAIN(TstLookDialogs)
#include "tst_lookdialogs.moc"
