list(APPEND KALVANE_CORE_SOURCES
    tools/sheetfile.cpp
)
list(APPEND KALVANE_UI_SOURCES
    tools/printer.cpp
    tools/printcommand.cpp
    tools/planche.cpp
    tools/rech.cpp
    tools/four.cpp
    tools/favourites.cpp
)
