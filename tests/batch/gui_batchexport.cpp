// A label exported by kalvane-batch is, byte for byte, the file the desktop's
// "Exporter" writes for the same label, quality and colour mode.

#include "batchrun.h"
#include "testhelpers.h"
#include "testsupport.h"

#include "render/qualjpeg.h"
#include "shell/application.h"
#include "shell/base.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestBatchExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>(BatchRun::startFiles());
        m_program = std::make_unique<TestProgram>();
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void sameBytesAsTheDesktop_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("grey");
        QTest::newRow("acetone, defaults") << QStringLiteral("Acetone") << 75 << false;
        QTest::newRow("sulphuric acid, grey 40") << QStringLiteral("Acide sulfurique 96%") << 40 << true;
        QTest::newRow("hypochlorite, 100") << QStringLiteral("Hypochlorite de sodium") << 100 << false;
    }

    void sameBytesAsTheDesktop()
    {
        QFETCH(QString, label);
        QFETCH(int, quality);
        QFETCH(bool, grey);
        const QString file = m_dir->file(QStringLiteral("Kalvane/") + label + QStringLiteral(".kvln"));

        // The desktop: "Ouvrir" (which makes the label's folder the working
        // folder), then "Exporter" with the options chosen in the dialog.
        desk()->openAnswers.enqueue({file});
        frame()->Ouvrir1->trigger();
        QCOMPARE(frame()->labelWindows().size(), 1);
        // The supplier's logo beside the label is found, as it must be by the
        // batch tool.
        QVERIFY(QFileInfo(frame()->mirrors.logoPath).isFile());
        TQual_jpeg *options = m_program->app->qualJpeg();
        options->TrackBar1->setValue(quality);
        (grey ? options->Radgrey : options->Radicol)->setChecked(true);
        const QString desktopFile = m_dir->file(QStringLiteral("bureau/") + label + QStringLiteral(".jpg"));
        QDir().mkpath(m_dir->file(QStringLiteral("bureau")));
        desk()->saveAnswers.enqueue(desktopFile);
        QTimer::singleShot(0, options->But_OK, &QPushButton::click);
        frame()->Export1->trigger();
        QCOMPARE(desk()->messages.size(), 0);
        const QByteArray desktop = TestFiles::read(desktopFile);
        QVERIFY(desktop.startsWith("\xFF\xD8"));

        // The batch tool on the same file and options.
        QTemporaryDir out;
        QStringList arguments = {QStringLiteral("export"), QStringLiteral("--data"), m_dir->path(), file,
                                 QStringLiteral("--out"), out.path()};
        if (quality != 75)
            arguments << QStringLiteral("--quality") << QString::number(quality);
        if (grey)
            arguments << QStringLiteral("--gris");
        const BatchRun::Result r = BatchRun::run(arguments);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        const QByteArray batch = TestFiles::read(out.filePath(label + QStringLiteral(".jpg")));
        QCOMPARE(batch.size(), desktop.size());
        QVERIFY(batch == desktop);
    }
};

QTEST_MAIN(TestBatchExport)
#include "gui_batchexport.moc"
