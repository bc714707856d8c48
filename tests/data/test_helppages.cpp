// The help pages as installed: Windows-1252 text with CR LF line ends (the
// program's own help window and the desktop's browser both read them so), and
// every link between them leads somewhere.

#include "shell/textfile.h"

#include "testhelpers.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString kHelp = QStringLiteral(KALVANE_DATA_DIR "/aide");

QStringList pages()
{
    return QDir(kHelp).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QString text(const QString &page)
{
    return TextFile::decode(TestFiles::read(QDir(kHelp).filePath(page)));
}

} // namespace

class TestHelpPages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pagesAreWindows1252WithCrLf()
    {
        QVERIFY(pages().size() >= 5);
        for (const QString &page : pages()) {
            const QByteArray bytes = TestFiles::read(QDir(kHelp).filePath(page));
            QVERIFY2(!bytes.isEmpty(), qPrintable(page));
            // Every line end is CR LF.
            QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
            QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
            QVERIFY2(bytes.contains("charset=\"windows-1252\""), qPrintable(page));
            // No UTF-8 sequence of an accented letter or a French quote
            // slipped in ("Ã©", "Â«"), and no byte the code page leaves out.
            QVERIFY2(!bytes.contains("\xC3\xA9") && !bytes.contains("\xC2\xAB"), qPrintable(page));
            for (char c : {'\x81', '\x8D', '\x8F', '\x90', '\x9D', '\0'})
                QVERIFY2(!bytes.contains(c), qPrintable(page));
            // The whole page read back as Windows-1252 gives the same bytes.
            QByteArray again;
            QVERIFY(TextFile::encode(TextFile::decode(bytes), &again));
            QCOMPARE(again, bytes);
        }
    }

    void linksLeadToPagesAndAnchors()
    {
        static const QRegularExpression anchor(QStringLiteral("\\bid=\"([^\"]+)\""));
        static const QRegularExpression link(QStringLiteral("<a href=\"([^\"]+)\""));
        QHash<QString, QSet<QString>> anchors;
        for (const QString &page : pages())
            for (const auto &m : anchor.globalMatch(text(page)))
                anchors[page].insert(m.captured(1));
        int internal = 0;
        for (const QString &page : pages()) {
            for (const auto &m : link.globalMatch(text(page))) {
                const QString target = m.captured(1);
                if (target.startsWith(QLatin1String("http")))
                    continue;
                ++internal;
                const QString file = target.section(u'#', 0, 0).isEmpty() ? page : target.section(u'#', 0, 0);
                const QString id = target.section(u'#', 1);
                QVERIFY2(pages().contains(file), qPrintable(page + QStringLiteral(": ") + target));
                if (!id.isEmpty())
                    QVERIFY2(anchors.value(file).contains(id), qPrintable(page + QStringLiteral(": ") + target));
            }
        }
        QVERIFY(internal > 20);
    }

    void closingAsksAndTheButtonsExist()
    {
        // Statements the program contradicted once.
        const QString main = text(QStringLiteral("et_help1.html"));
        QVERIFY(main.contains(QStringLiteral("CONFIRMATION")));
        QVERIFY(!main.contains(QStringLiteral("Aucune question")));
        QVERIFY(!main.contains(QStringLiteral("<b>Choisir un produit</b>")));
        QVERIFY(!main.contains(QStringLiteral("<b>Choisir un fournisseur</b> ouvre")));
        QVERIFY(main.contains(QStringLiteral("Vérifier l'étiquette")));
        QVERIFY(main.contains(QStringLiteral("kalvane-batch")));
    }
};

QTEST_GUILESS_MAIN(TestHelpPages)
#include "test_helppages.moc"
