// libFuzzer's own driver runs the target; fonts and the offscreen platform
// for the drawing targets are set up once here.

#include <QGuiApplication>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(qtArgc, qtArgv);
    (void)argc;
    return 0;
}
