list(APPEND KALVANE_CORE_SOURCES
    tools/suppliercard.cpp
    tools/favouritesfile.cpp
    tools/labelscan.cpp
    tools/substancedatabase.cpp
    tools/substancegridmodel.cpp
    tools/sheetfile.cpp
    tools/xlsxreader.cpp
    tools/classification.cpp
)
list(APPEND KALVANE_UI_SOURCES
    tools/printer.cpp
    tools/printcommand.cpp
    tools/planche.cpp
    tools/sheetlist.cpp
    tools/rech.cpp
    tools/rightfilledmaskedit.cpp
    tools/four.cpp
    tools/favourites.cpp
)
