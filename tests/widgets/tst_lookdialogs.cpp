// The dialogs of the shop's look, driven as a user would: the shared values
// (edits, renames, bad names, style files), the colours in use, saving a
// block, the block library and the starter designs.

#include "core/blocklibrary.h"
#include "core/colours.h"
#include "support/files.h"
#include "support/windowtest.h"
#include "widgets/blocklibrarydialog.h"
#include "widgets/designsdialog.h"
#include "widgets/dialogs.h"
#include "widgets/replacecolourdialog.h"
#include "widgets/saveblockdialog.h"
#include "widgets/sharedvaluesdialog.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
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

QByteArray png()
{
    QImage image(24, 36, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

Block blockNamed(const QString &name, int entries, const QByteArray &preview = {})
{
    Block block;
    block.name = name;
    for (int i = 1; i <= entries; ++i)
        block.entries.append({i, u"[ 自定义 ] "_s, u"<p>%1</p>"_s.arg(i), std::nullopt});
    block.preview = preview;
    return block;
}

// The names the grid shows, hidden ones left out, sorted (the grid's own
// order is the locale's).
QStringList shownNames(const QListWidget &list)
{
    QStringList names;
    for (int row = 0; row < list.count(); ++row) {
        if (!list.item(row)->isHidden())
            names.append(list.item(row)->text());
    }
    names.sort();
    return names;
}

void select(QListWidget &list, const QString &name)
{
    const QList<QListWidgetItem *> found = list.findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    list.setCurrentItem(found.first());
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
        // The desktop's trash of this test, not the user's (see library()).
        QVERIFY(QDir().mkpath(m_dir.filePath(u"data"_s)));
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

    void saveBlock()
    {
        BlockLibrary library(m_dir.filePath(u"save"_s), {});
        library.save(blockNamed(u"[ 自定义 ]"_s, 1));
        QList<ModuleEntry> entries = blockNamed(u"x"_s, 3).entries;
        entries[0].name = u"页头 "_s;

        SaveBlockDialog dialog(entries, 1, library);
        auto *name = child<QLineEdit>(dialog, u"edtblockname"_s);
        auto *list = child<QListWidget>(dialog, u"lstentries"_s);
        auto *save = child<QPushButton>(dialog, u"btnsave"_s);
        QCOMPARE(list->item(0)->text(), u"1  页头"_s);
        QCOMPARE(name->text(), u"[ 自定义 ] (2)"_s);
        QCOMPARE(dialog.rows(), QList<int>{1});
        QVERIFY(save->isEnabled());

        // The name follows the first entry checked until it is edited.
        list->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(!save->isEnabled());
        list->item(2)->setCheckState(Qt::Checked);
        list->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(name->text(), u"页头"_s);
        QCOMPARE(dialog.rows(), (QList<int>{0, 2}));
        QTest::keyClicks(name, u"x"_s);
        name->setText(u" "_s);
        QVERIFY(!save->isEnabled());
        list->item(1)->setCheckState(Qt::Checked);
        QCOMPARE(name->text(), u" "_s);

        // A name the library holds: replaced only when the user says so.
        name->setText(u" [ 自定义 ] "_s);
        click(dialog, u"btnsave"_s);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialogs::takeShown().size(), 1);
        dialogs::queueAnswer(QMessageBox::Yes);
        click(dialog, u"btnsave"_s);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.replaces());
        QCOMPARE(dialog.name(), u"[ 自定义 ]"_s);
        QCOMPARE(dialog.rows(), (QList<int>{0, 1, 2}));
    }

    void library()
    {
        const QString folder = m_dir.filePath(u"library"_s);
        BlockLibrary library(folder, {});
        library.save(blockNamed(u"页头"_s, 2, png()));
        library.save(blockNamed(u"尾部"_s, 1));
        test::writeFile(folder + u"/坏.orvanta-block"_s, "{}");

        BlockLibraryDialog dialog(library);
        auto &list = *child<QListWidget>(dialog, u"lstblocks"_s);
        auto *insert = child<QPushButton>(dialog, u"btninsert"_s);
        QCOMPARE(shownNames(list), (QStringList{u"坏.orvanta-block"_s, u"尾部"_s, u"页头"_s}));
        select(list, u"坏.orvanta-block"_s);
        QVERIFY(list.currentItem()->toolTip().startsWith(u"Cannot open block"_s));
        for (const QString &name : {u"btninsert"_s, u"btnrename"_s, u"btndelete"_s, u"btnexport"_s})
            QVERIFY2(!child<QPushButton>(dialog, name)->isEnabled(), qPrintable(name));

        // Searching keeps a shown block current.
        child<QLineEdit>(dialog, u"edtsearch"_s)->setText(u"页"_s);
        QCOMPARE(shownNames(list), QStringList{u"页头"_s});
        QCOMPARE(list.currentItem()->text(), u"页头"_s);
        QCOMPARE(list.currentItem()->toolTip(), u"页头\n2 个条目"_s);
        QVERIFY(insert->isEnabled());
        child<QLineEdit>(dialog, u"edtsearch"_s)->clear();

        // Renamed in place; a name another block has is refused.
        select(list, u"页头"_s);
        list.currentItem()->setText(u"尾部"_s);
        QCOMPARE(dialogs::takeShown().size(), 1);
        QCOMPARE(list.currentItem()->text(), u"页头"_s);
        list.currentItem()->setText(u" 店铺页头 "_s);
        QTRY_COMPARE(shownNames(list), (QStringList{u"坏.orvanta-block"_s, u"尾部"_s, u"店铺页头"_s}));
        QCOMPARE(list.currentItem()->text(), u"店铺页头"_s);
        QCOMPARE(test::listing(folder),
                 (QStringList{u"坏.orvanta-block"_s, u"尾部.orvanta-block"_s, u"店铺页头.orvanta-block"_s}));

        // Exported, then imported as a second block of its name.
        const QString exported = m_dir.filePath(u"out"_s);
        dialogs::queueFileName(exported);
        click(dialog, u"btnexport"_s);
        QCOMPARE(library.read(QDir(folder).filePath(u"店铺页头.orvanta-block"_s)),
                 readBlockFile(exported + u".orvanta-block"_s, {}));
        dialogs::queueFileName(exported + u".orvanta-block"_s);
        click(dialog, u"btnimport"_s);
        QCOMPARE(list.currentItem()->text(), u"店铺页头 (2)"_s);
        dialogs::queueFileName(m_dir.filePath(u"missing.orvanta-block"_s));
        click(dialog, u"btnimport"_s);
        QCOMPARE(dialogs::takeShown().size(), 1);

        // To the trash; where there is none, it stays and the user is told.
        QDir::setCurrent(m_dir.path());
        qputenv("XDG_DATA_HOME", m_dir.filePath(u"none"_s).toUtf8());
        click(dialog, u"btndelete"_s);
        const QList<dialogs::Shown> refused = dialogs::takeShown();
        QCOMPARE(refused.size(), 2);
        QVERIFY(refused[1].text.contains(u"trash"_s));
        QCOMPARE(list.count(), 4);
        qputenv("XDG_DATA_HOME", m_dir.filePath(u"data"_s).toUtf8());
        dialogs::queueAnswer(QMessageBox::Cancel);
        click(dialog, u"btndelete"_s);
        QCOMPARE(list.count(), 4);
        click(dialog, u"btndelete"_s);
        QCOMPARE(dialogs::takeShown().size(), 2);
        QCOMPARE(shownNames(list), (QStringList{u"坏.orvanta-block"_s, u"尾部"_s, u"店铺页头"_s}));
        QVERIFY(list.currentItem());

        select(list, u"尾部"_s);
        click(dialog, u"btninsert"_s);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.block(), blockNamed(u"尾部"_s, 1));
    }

    // Typed at once into the search; F2 renames in place, Delete asks, Enter inserts.
    void libraryKeys()
    {
        BlockLibrary library(m_dir.filePath(u"keys"_s), {});
        library.save(blockNamed(u"Header"_s, 1));
        library.save(blockNamed(u"Footer"_s, 2));
        BlockLibraryDialog dialog(library);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *list = child<QListWidget>(dialog, u"lstblocks"_s);
        QTest::keyClicks(QApplication::focusWidget(), u"FOO"_s);
        QCOMPARE(shownNames(*list), QStringList{u"Footer"_s});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor && list->isAncestorOf(editor));
        QTest::keyClicks(editor, u"Footnote"_s);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(shownNames(*list), QStringList{u"Footnote"_s});
        QVERIFY(dialog.isVisible());
        dialogs::queueAnswer(QMessageBox::Cancel);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(dialogs::takeShown().size(), 1);
        QCOMPARE(list->count(), 2);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.block()->name, u"Footnote"_s);
    }

    void designs()
    {
        const QList<DesignChoice> choices{{u"a"_s, u"甲"_s, u"甲的说明"_s, png()},
                                          {u"b"_s, u"乙"_s, u"乙的说明"_s, {}}};
        DesignsDialog dialog(choices, Shop::Tmall);
        QCOMPARE(dialog.designId(), u"a"_s);
        QCOMPARE(dialog.shop(), Shop::Tmall);
        child<QListWidget>(dialog, u"lstdesigns"_s)->setCurrentRow(1);
        QCOMPARE(test::labelText(dialog, u"lbldescription"_s), u"乙的说明"_s);
        test::choose(dialog, u"rgshop"_s, 0);
        click(dialog, u"btncreate"_s);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.designId(), u"b"_s);
        QCOMPARE(dialog.shop(), Shop::Taobao);
    }
};

QTEST_MAIN(TstLookDialogs)
#include "tst_lookdialogs.moc"
