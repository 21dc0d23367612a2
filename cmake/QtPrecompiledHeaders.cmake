# Parsing the Qt headers is about half of what compiling a page or a GUI test
# costs, so the Qt targets share precompiled ones: the wizard's library has
# its own, every GUI test and lab GUI program reuses the GUI test support's.
# Only system headers go in, so editing a project header never rebuilds them.
# ORVANTA_PCH=OFF builds without, to catch a file that misses an include.
set(ORVANTA_QT_PCH_HEADERS
    <QApplication> <QButtonGroup> <QCheckBox> <QComboBox> <QDialog> <QFile> <QGroupBox> <QLabel>
    <QLineEdit> <QPainter> <QPushButton> <QRadioButton> <QString> <QTimer> <QTreeWidget>
    <functional> <memory> <string> <vector>)

# orvanta_qt_pch(TARGET [EXTRA-HEADER...]): TARGET gets its own precompiled header.
function(orvanta_qt_pch target)
  if(ORVANTA_PCH)
    target_precompile_headers(${target} PRIVATE ${ORVANTA_QT_PCH_HEADERS} ${ARGN})
    # A header that does not fit the compile is skipped by GCC without a
    # word; this says so in the build log.
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Winvalid-pch>)
  endif()
endfunction()

# orvanta_qt_pch_reuse(TARGET FROM): TARGET uses FROM's precompiled header,
# which needs the same compile flags and definitions.
function(orvanta_qt_pch_reuse target from)
  if(ORVANTA_PCH)
    target_precompile_headers(${target} REUSE_FROM ${from})
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Winvalid-pch>)
    # These programs include their moc output in their own source, so
    # AUTOMOC's mocs_compilation.cpp is empty; with the header it still
    # loaded some 240 MB of precompiled Qt (sanitizer build), seconds per
    # program. Should a header of theirs ever need moc, the file compiles
    # without it all the same, only slower.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
                                PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  endif()
endfunction()
