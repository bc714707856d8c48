list(APPEND KALVANE_CORE_SOURCES
    render/bitmaps.cpp
    render/jpegcodec.cpp
    render/jpegexport.cpp
    render/labelcontent.cpp
    render/labelrenderer.cpp
    render/pngcodec.cpp
    render/picturecache.cpp
    render/qrcode.cpp
    render/rendervariant.cpp
    render/storedlabel.cpp
    render/formatrules.cpp
    render/labelformat.cpp
    render/labelstock.cpp
    render/sheetgeometry.cpp
    render/sheetprint.cpp
    render/stockprint.cpp
    render/calibration.cpp
    render/labelsize.cpp
    render/sheetpreview.cpp
)
list(APPEND KALVANE_UI_SOURCES
    render/printview.cpp
    render/apercu.cpp
    render/qualjpeg.cpp
)
