// kalvane-batch with the label's complements: "export" writes them into the
// PDF (as text) and the JPEG (the QR code decodes to the address), "planche"
// prints them on a sheet, and "verifier" reports a wrong UFI.

#include "batchrun.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using BatchRun::run;

namespace {

const QString kAddress = QStringLiteral("https://fds.example.org/diluant-d12.pdf");

// The output of a tool, or a reason why there is none.
QString toolOutput(const QString &tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return QStringLiteral("<%1 is not installed>").arg(tool);
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(120000))
        return QStringLiteral("<%1 did not finish>").arg(tool);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

} // namespace

class TestBatchComplements : public QObject
{
    Q_OBJECT

    QTemporaryDir m_start;
    QString m_label;
    QString start(const QString &name = QString()) const { return name.isEmpty() ? m_start.path() : m_start.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_start.isValid());
        BatchRun::seed(m_start.path(), BatchRun::startFiles());
        // The acetone sample with a complement block, as the program writes it.
        QByteArray bytes = TestFiles::read(start(QStringLiteral("Kalvane/Acetone.kvln")));
        QVERIFY(bytes.endsWith("_eof\r\n"));
        bytes += "***kalvane***\r\nquantite=1 L\r\ncontenance=1\r\nufi=GMTT-2SQN-6FDD-6TV1\r\n"
                 "contient=ac\xE9tone; ac\xE9tate d'\xE9thyle\r\ninfo=R\xE9serv\xE9 aux utilisateurs professionnels.\r\n"
                 "fds=https://fds.example.org/diluant-d12.pdf\r\n";
        m_label = start(QStringLiteral("Kalvane/Diluant.kvln"));
        TestFiles::write(m_label, bytes);
    }

    void exportedPdfHoldsTheComplements()
    {
        QTemporaryDir out;
        const BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(),
                                        QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"),
                                        out.path(), m_label});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        const QString words = toolOutput(QStringLiteral("pdftotext"), {out.filePath(QStringLiteral("Diluant.pdf")),
                                                                       QStringLiteral("-")});
        for (const QString &expected : {QStringLiteral("UFI : GMTT-2SQN-6FDD-6TV1"), QStringLiteral("1 L"),
                                        QStringLiteral("Contient : acétone; acétate d'éthyle"),
                                        QStringLiteral("Réservé aux utilisateurs professionnels."),
                                        QStringLiteral("Fiche de données de sécurité")})
            QVERIFY2(words.contains(expected), qPrintable(expected + QStringLiteral(" not in: ") + words));
    }

    void exportedJpegQrCodeDecodes()
    {
        QTemporaryDir out;
        const BatchRun::Result r = run({QStringLiteral("export"), QStringLiteral("--data"), start(),
                                        QStringLiteral("--out"), out.path(), m_label});
        QCOMPARE(r.status, 0);
        QCOMPARE(toolOutput(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"),
                                                        out.filePath(QStringLiteral("Diluant.jpg"))}),
                 kAddress);
    }

    // Four labels on an A4 sheet drawn directly: the code read back from the
    // page at 150 dpi.
    void sheetQrCodeDecodes()
    {
        QTemporaryDir work;
        const QString pdf = work.filePath(QStringLiteral("planche.pdf"));
        const BatchRun::Result r = run({QStringLiteral("--data"), start(), QStringLiteral("planche"), m_label,
                                        QStringLiteral("--par-page"), QStringLiteral("4"), QStringLiteral("--pdf"), pdf});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        const QString words = toolOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(words.contains(QStringLiteral("UFI : GMTT-2SQN-6FDD-6TV1")), qPrintable(words));
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        QVERIFY2(!pdftoppm.isEmpty(), "pdftoppm (poppler-utils) is needed");
        QCOMPARE(QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), pdf, work.filePath(QStringLiteral("page"))}),
                 0);
        QCOMPARE(toolOutput(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"),
                                                        work.filePath(QStringLiteral("page.png"))}),
                 kAddress);
    }

    void verifierReportsAWrongUfi()
    {
        QByteArray bytes = TestFiles::read(m_label);
        bytes.replace("ufi=GMTT-2SQN-6FDD-6TV1", "ufi=GMTT-2SQN-6FDD-6TV2");
        const QString wrong = start(QStringLiteral("Kalvane/Faux UFI.kvln"));
        TestFiles::write(wrong, bytes);
        BatchRun::Result r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), m_label});
        QCOMPARE(r.out, QString());
        QCOMPARE(r.status, 0);
        r = run({QStringLiteral("verifier"), QStringLiteral("--data"), start(), wrong});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, wrong + QStringLiteral(": erreur: L'UFI « GMTT-2SQN-6FDD-6TV2 » n'est pas valide : son caractère "
                                               "de contrôle ne correspond pas aux autres caractères. Recopiez-le "
                                               "exactement tel qu'il a été attribué au mélange.\n"));
    }
};

QTEST_GUILESS_MAIN(TestBatchComplements)
#include "test_batchcomplements.moc"
