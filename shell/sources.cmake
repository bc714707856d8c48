list(APPEND KALVANE_CORE_SOURCES
    shell/textfile.cpp
    shell/storabletext.cpp
    shell/labeldocument.cpp
    shell/settingsfiles.cpp
    shell/colortext.cpp
    shell/labelfile.cpp
    shell/labeldigest.cpp
    shell/placement.cpp
    shell/proposedname.cpp
    shell/singleinstance.cpp
)
list(APPEND KALVANE_UI_SOURCES
    shell/desktop.cpp
    shell/qtdesktop.cpp
    shell/helpbrowser.cpp
    shell/errorbox.cpp
    shell/application.cpp
    shell/base.cpp
    shell/splash.cpp
    shell/apropos.cpp
    shell/onscreen.cpp
    shell/fontwarmup.cpp
)
