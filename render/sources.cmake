list(APPEND KALVANE_CORE_SOURCES
)
list(APPEND KALVANE_UI_SOURCES
    render/printview.cpp
    render/apercu.cpp
    render/qualjpeg.cpp
)
