// Putting a new set of pictures into a folder: only what the earlier
// export's pictures.txt lists is replaced, and only with leave; a seller's
// own files never silently; a failure at any step leaves the folder as it
// was.

#include "render/picturefolder.h"
#include "support/files.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv::render;
using Files = QMap<QString, QByteArray>;

namespace {

Files plus(Files files, const Files &more)
{
    files.insert(more);
    return files;
}

const QByteArray earlierList = "01.jpg 750x10 3\n02.jpg 750x10 3\n03.jpg 750x10 3\n";
const QByteArray newList = "01.jpg 750x10 4\n02.jpg 750x10 4\n";

// Every entry of the folder, hidden ones too, with its bytes ("<dir>" for a folder).
Files contents(const QString &folder)
{
    Files files;
    for (const QString &name : orv::test::listing(folder)) {
        const QString path = QDir(folder).filePath(name);
        files.insert(name, QFileInfo(path).isDir() ? QByteArray("<dir>") : orv::test::readFile(path));
    }
    return files;
}

} // namespace

class TstPictureFolder : public QObject {
    Q_OBJECT

private slots:
    void commit_data()
    {
        QTest::addColumn<Files>("before");
        QTest::addColumn<bool>("replaceEarlier");
        QTest::addColumn<QStringList>("replaceUnlisted");
        QTest::addColumn<int>("failingMove"); // -1: none
        QTest::addColumn<Files>("after");     // empty: refused or failed, the folder as before
        QTest::addColumn<QString>("error");

        const Files earlier{
            {u"pictures.txt"_s, earlierList}, {u"01.jpg"_s, "old"},    {u"02.jpg"_s, "old"}, {u"03.jpg"_s, "old"},
            {u"2023.jpg"_s, "mine"},          {u"notes.txt"_s, "mine"}};
        const Files fresh{{u"01.jpg"_s, "new1"}, {u"02.jpg"_s, "new2"}, {u"pictures.txt"_s, newList}};
        QTest::newRow("empty folder") << Files{} << false << QStringList{} << -1 << fresh << QString();
        QTest::newRow("the earlier set replaced, a seller's files kept")
            << earlier << true << QStringList{} << -1
            << plus(fresh, {{u"2023.jpg"_s, "mine"}, {u"notes.txt"_s, "mine"}}) << QString();
        QTest::newRow("an earlier slices.json goes with its set")
            << plus(earlier, {{u"slices.json"_s, "old"}}) << true << QStringList{} << -1
            << plus(fresh, {{u"2023.jpg"_s, "mine"}, {u"notes.txt"_s, "mine"}}) << QString();
        QTest::newRow("the earlier set kept without leave")
            << earlier << false << QStringList{} << -1 << Files{} << u"earlier export"_s;
        QTest::newRow("a seller's picture in the way, with leave for the earlier set")
            << Files{{u"01.jpg"_s, "mine"}} << true << QStringList{} << -1 << Files{} << u"holds 01.jpg"_s;
        QTest::newRow("a seller's picture replaced when the user says so")
            << Files{{u"01.jpg"_s, "mine"}, {u"05.jpg"_s, "mine"}} << false << QStringList{u"01.jpg"_s} << -1
            << plus(fresh, {{u"05.jpg"_s, "mine"}}) << QString();
        QTest::newRow("a folder in the way, whatever the user says")
            << Files{{u"02.jpg"_s, "<dir>"}} << true << QStringList{u"02.jpg"_s} << -1 << Files{} << u"holds 02.jpg"_s;
        QTest::newRow("a pictures.txt no export wrote")
            << Files{{u"pictures.txt"_s, "milk\neggs\n"}} << true << QStringList{} << -1 << Files{} << u"line 1"_s;
        // Moves: 01, 02, 03 and pictures.txt aside (sorted), then 01, 02 and
        // pictures.txt in.
        for (const int step : {0, 3, 4, 6}) {
            QTest::addRow("a failure at move %d", step)
                << earlier << true << QStringList{} << step << Files{} << u"could not be moved"_s;
        }
    }

    void commit()
    {
        QFETCH(Files, before);
        QFETCH(bool, replaceEarlier);
        QFETCH(QStringList, replaceUnlisted);
        QFETCH(int, failingMove);
        QFETCH(Files, after);
        QFETCH(QString, error);
        QTemporaryDir dir;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (it.value() == "<dir>")
                QVERIFY(QDir(dir.path()).mkdir(it.key()));
            else
                orv::test::writeFile(dir.filePath(it.key()), it.value());
        }
        int moves = 0;
        PictureStaging staging(dir.path(), [&](const QString &from, const QString &to) {
            if (moves++ == failingMove)
                return u"refused by the test"_s;
            QFile file(from);
            return file.rename(to) ? QString() : file.errorString();
        });
        staging.add("new1");
        staging.add("new2");
        staging.add(newList);
        try {
            staging.commit({u"01.jpg"_s, u"02.jpg"_s, u"pictures.txt"_s}, replaceEarlier, replaceUnlisted);
            QVERIFY2(error.isEmpty(), "put in place");
            QCOMPARE(contents(dir.path()), after);
        } catch (const orv::Failure &failure) {
            QVERIFY2(!error.isEmpty() && failure.message().contains(error), qPrintable(failure.message()));
            staging.discard();
            QCOMPARE(contents(dir.path()), before);
        }
    }

    // An earlier export's set: its pictures.txt, what it lists and the
    // slices.json beside it; a slices.json alone is nobody's set.
    void earlierSet_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QStringList>("set");
        QTest::newRow("list, pictures and manifest")
            << Files{{u"pictures.txt"_s, earlierList},
                     {u"01.jpg"_s, "old"},
                     {u"02.jpg"_s, "old"},
                     {u"slices.json"_s, "{}"},
                     {u"notes.txt"_s, "mine"}}
            << QStringList{u"01.jpg"_s, u"02.jpg"_s, u"pictures.txt"_s, u"slices.json"_s};
        QTest::newRow("an export before manifests") << Files{{u"pictures.txt"_s, earlierList}, {u"01.jpg"_s, "old"}}
                                                    << QStringList{u"01.jpg"_s, u"pictures.txt"_s};
        QTest::newRow("a manifest without a list") << Files{{u"slices.json"_s, "{}"}} << QStringList{};
    }
    void earlierSet()
    {
        QFETCH(Files, files);
        QFETCH(QStringList, set);
        QTemporaryDir dir;
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            orv::test::writeFile(dir.filePath(it.key()), it.value());
        QCOMPARE(earlierPictures(dir.path()).files, set);
    }

    void lists_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("names"); // {"line N"}: refused there
        QTest::newRow("an export's") << earlierList << QStringList{u"01.jpg"_s, u"02.jpg"_s, u"03.jpg"_s};
        QTest::newRow("CR LF and a blank line")
            << QByteArray("001.png 1500x2500 9\r\n\r\n002.jpg 1500x8 7\r\n") << QStringList{u"001.png"_s, u"002.jpg"_s};
        QTest::newRow("a path") << QByteArray("01.jpg 1x1 1\n../x.jpg 1x1 1\n") << QStringList{u"line 2"_s};
        QTest::newRow("a seller's name") << QByteArray("2023.JPG 1x1 1\n") << QStringList{u"line 1"_s};
    }

    void lists()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, names);
        try {
            QCOMPARE(listedPictures(u"pictures.txt"_s, text), names);
        } catch (const orv::Failure &failure) {
            QVERIFY2(names.size() == 1 && failure.message().contains(names.first()), qPrintable(failure.message()));
        }
    }

    // What was staged but never put in place goes, and the folder made for it.
    void discardRemovesAFolderMadeForIt()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"new/pictures"_s);
        {
            PictureStaging staging(folder);
            staging.add("new1");
            QVERIFY(QFileInfo(folder).isDir());
        }
        QVERIFY(!QFileInfo::exists(folder));
    }
};

QTEST_GUILESS_MAIN(TstPictureFolder)
#include "tst_picturefolder.moc"
