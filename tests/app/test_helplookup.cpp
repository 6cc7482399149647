// Where Help finds the user guide: beside the executable in a build tree,
// under the prefix of an installed tool, else in the source tree.

#include "app/qtplatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;

namespace {

bool touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("<html></html>") > 0;
}

} // namespace

class TestHelpLookup : public QObject {
    Q_OBJECT
private slots:
    void installedTool_findsTheGuideUnderItsPrefix()
    {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral("usr/bin"));
        const QString guide = prefix.filePath(QStringLiteral("usr/share/tarvik/help/index.html"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(touch(guide));
        QCOMPARE(helpIndexPathFor(bin), guide);

        // The prefix may move: the lookup is relative to the executable.
        QVERIFY(QDir().rename(prefix.filePath(QStringLiteral("usr")), prefix.filePath(QStringLiteral("opt"))));
        QCOMPARE(helpIndexPathFor(prefix.filePath(QStringLiteral("opt/bin"))),
                 prefix.filePath(QStringLiteral("opt/share/tarvik/help/index.html")));
    }

    void buildTree_prefersTheCopyBesideTheExecutable()
    {
        QTemporaryDir tree;
        const QString bin = tree.filePath(QStringLiteral("bin"));
        QVERIFY(touch(tree.filePath(QStringLiteral("share/tarvik/help/index.html"))));
        QVERIFY(touch(tree.filePath(QStringLiteral("bin/help/index.html"))));
        QCOMPARE(helpIndexPathFor(bin), tree.filePath(QStringLiteral("bin/help/index.html")));
    }

    void nothingBesideOrInstalled_fallsBackToAGuideThatExists()
    {
        QTemporaryDir empty;
        const QString path = helpIndexPathFor(empty.filePath(QStringLiteral("bin")));
        QVERIFY2(path.endsWith(QStringLiteral("help/index.html")), qPrintable(path));
        // This build has its source tree: the guide there is offered.
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    }

    // Run by the install_tree test on a fresh `cmake --install` of this build.
    void installedTree_guideAndItsPicturesWhereHelpLooks()
    {
        const QString bin = qEnvironmentVariable("TVK_INSTALLED_BIN");
        if (bin.isEmpty())
            QSKIP("needs an installed tree (the install_tree test)");
        const QString guide = helpIndexPathFor(bin);
        const QString prefix = QDir::cleanPath(bin + QStringLiteral("/.."));
        QVERIFY2(guide.startsWith(prefix + u'/'), qPrintable(guide)); // not the source tree's copy
        QFile f(guide);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(guide));
        const QString html = QString::fromUtf8(f.readAll());
        static const QRegularExpression picture(QStringLiteral("src=\"([^\"]+)\""));
        int pictures = 0;
        for (const QRegularExpressionMatch &m : picture.globalMatch(html)) {
            const QString path = QFileInfo(guide).dir().filePath(m.captured(1));
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
            ++pictures;
        }
        QVERIFY(pictures > 0);
    }
};

QTEST_GUILESS_MAIN(TestHelpLookup)
#include "test_helplookup.moc"
