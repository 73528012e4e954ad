#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::ModuleListModel;

namespace {

// "number name code" per row, for compact comparisons.
QStringList rows(const ModuleListModel &m)
{
    QStringList out;
    for (int r = 0; r < m.count(); ++r)
        out.append(QString::number(m.entry(r).number) + u' ' + m.entry(r).name + u' ' + m.entry(r).code);
    return out;
}

void fill(ModuleListModel &m, const QStringList &codes)
{
    for (const QString &c : codes)
        m.append(u"n"_s + c, c);
}

} // namespace

class TstModuleListModel : public QObject {
    Q_OBJECT

private slots:
    void numbersAreCountPlusOneAndNeverRenumbered()
    {
        ModuleListModel m;
        fill(m, {u"A"_s, u"B"_s, u"C"_s});
        QVERIFY(m.remove(1));
        QCOMPARE(rows(m), (QStringList{u"1 nA A"_s, u"3 nC C"_s}));
        m.append(u"nD"_s, u"D"_s);
        // Two rows carry 3: numbers repeat after a delete.
        QCOMPARE(rows(m), (QStringList{u"1 nA A"_s, u"3 nC C"_s, u"3 nD D"_s}));
        QVERIFY(!m.remove(3));
        QVERIFY(!m.remove(-1));
        QCOMPARE(m.count(), 3);

        m.clear();
        QCOMPARE(m.rowCount(), 0);
        m.append(u"nE"_s, u"E"_s);
        QCOMPARE(rows(m), QStringList{u"1 nE E"_s});
    }

    void moves_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QStringList>("expected");
        const QStringList same{u"1 nA A"_s, u"2 nB B"_s, u"3 nC C"_s};
        QTest::newRow("up from last") << true << 2 << true << QStringList{u"1 nA A"_s, u"2 nC C"_s, u"3 nB B"_s};
        QTest::newRow("up from middle") << true << 1 << true << QStringList{u"1 nB B"_s, u"2 nA A"_s, u"3 nC C"_s};
        QTest::newRow("up on first") << true << 0 << false << same;
        QTest::newRow("down from first") << false << 0 << true << QStringList{u"1 nB B"_s, u"2 nA A"_s, u"3 nC C"_s};
        QTest::newRow("down on last") << false << 2 << false << same;
        QTest::newRow("up, none selected") << true << -1 << false << same;
        QTest::newRow("down, none selected") << false << -1 << false << same;
    }

    void moves()
    {
        QFETCH(bool, up);
        QFETCH(int, row);
        QFETCH(bool, moved);
        QFETCH(QStringList, expected);
        ModuleListModel m;
        fill(m, {u"A"_s, u"B"_s, u"C"_s});
        QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
        QSignalSpy moves(&m, &QAbstractItemModel::rowsMoved);
        QCOMPARE(up ? m.moveUp(row) : m.moveDown(row), moved);
        QCOMPARE(rows(m), expected);
        // Rows exchange contents in place, so a view keeps its selection on the position.
        QCOMPARE(changed.size(), moved ? 1 : 0);
        QCOMPARE(moves.size(), 0);
    }

    void codeColumnShowsBeginningButStoresAll()
    {
        ModuleListModel m;
        const QString code = u"<div>\r\n"_s + QString(5000, u'x') + u"\r\n</div>"_s;
        m.append(u"[ 分隔条 ] "_s, code);
        const QModelIndex codeCell = m.index(0, ModuleListModel::CodeColumn);
        const QString shown = m.data(codeCell).toString();
        QVERIFY(code.startsWith(shown.left(5)));
        QVERIFY(shown.size() < code.size());
        QVERIFY(!shown.contains(u'\n'));
        QCOMPARE(m.data(codeCell, ModuleListModel::CodeRole).toString(), code);
        QCOMPARE(m.data(m.index(0, ModuleListModel::NameColumn), ModuleListModel::CodeRole).toString(), code);
        QCOMPARE(m.code(0), code);
    }

    void summary_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("A B C") << QStringList{u"A"_s, u"B"_s, u"C"_s} << u"A\r\nB\r\nC\r\n"_s;
        QTest::newRow("A, empty, B") << QStringList{u"A"_s, QString(), u"B"_s} << u"A\r\n\r\nB\r\n"_s;
        QTest::newRow("no entries") << QStringList{} << QString();
        // A code's own line breaks stay as they are.
        QTest::newRow("own breaks") << QStringList{u"a\nb"_s, u"c\r\n"_s} << u"a\nb\r\nc\r\n\r\n"_s;
    }

    void summary()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, expected);
        ModuleListModel m;
        fill(m, codes);
        orv::OutputBuffer buffer;
        buffer.setText(u"previous fragment"_s);
        orv::writeSummary(m, buffer);
        QCOMPARE(buffer.text(), expected);
    }

    void previewText_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no final break") << u"<p>a</p>"_s << u"<p>a</p>\r\n"_s;
        QTest::newRow("bare LF") << u"a\nb\n"_s << u"a\r\nb\r\n"_s;
        QTest::newRow("lone CR and CR LF") << u"a\rb\r\nc"_s << u"a\r\nb\r\nc\r\n"_s;
        QTest::newRow("empty") << QString() << QString();
    }

    void previewText()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        ModuleListModel m;
        m.append(u"x"_s, code);
        QCOMPARE(m.previewText(0), expected);
        QCOMPARE(m.code(0), code);
    }
};

QTEST_GUILESS_MAIN(TstModuleListModel)
#include "tst_modulelistmodel.moc"
