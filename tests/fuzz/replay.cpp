// Runs a fuzz target over its stored inputs (the corpus found by fuzzing and
// every input that once broke the program), as an ordinary test.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char *argv[])
{
    // The drawing targets need fonts: a GUI application on the offscreen
    // platform.
    QGuiApplication app(argc, argv);
    const QStringList folders = app.arguments().mid(1);
    int count = 0;
    for (const QString &folder : folders) {
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++count;
        }
    }
    printf("%d inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
