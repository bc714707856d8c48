list(APPEND KALVANE_CORE_SOURCES
    editor/checkdigits.cpp
    editor/ufi.cpp
    editor/catalogue.cpp
    editor/pictogramrules.cpp
    editor/suggestions.cpp
    editor/labelfacts.cpp
    editor/labelchecks.cpp
    editor/harmonisedfill.cpp
)
list(APPEND KALVANE_UI_SOURCES
    editor/mdichild.cpp
    editor/complementstab.cpp
    editor/labelwidgets.cpp
    editor/phraseeditor.cpp
    editor/hppicto.cpp
    editor/harmonisedaction.cpp
)
