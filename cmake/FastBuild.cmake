# What makes a build from scratch short: ccache, a fast linker and headers parsed once per target
# instead of once per file. (The presets' debug builds also keep line tables only, -g1, enough for
# backtraces and the sanitizers' reports; configure with -DCMAKE_CXX_FLAGS_DEBUG=-g for a debugger's
# variables.)

# ccache where installed, unless another launcher was chosen. The precompiled headers are cached only
# when ccache may ignore their macros' and the time's effect on them.
find_program(QUORBEL_CCACHE ccache)
if(QUORBEL_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${QUORBEL_CCACHE})
endif()
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "(^|/)ccache$")
  set(CMAKE_CXX_COMPILER_LAUNCHER env CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# mold, else lld, where the compiler takes it: they link several times faster than the default ld.
include(CheckLinkerFlag)
foreach(linker mold lld)
  check_linker_flag(CXX -fuse-ld=${linker} QUORBEL_LINKER_${linker})
  if(QUORBEL_LINKER_${linker})
    add_link_options(-fuse-ld=${linker})
    break()
  endif()
endforeach()

# Precompiled headers: the Qt and standard headers most files include, compiled once in the
# components library and reused by every Qt target; the standard library and GoogleTest for the
# core's tests. CMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds without them (each file then has to name
# what it uses, which such a build checks).
set(QUORBEL_PCH_STD <algorithm> <filesystem> <functional> <memory> <optional> <string> <string_view> <vector>)
set(QUORBEL_PCH_QT <QAction> <QApplication> <QCheckBox> <QComboBox> <QHeaderView> <QLabel> <QLineEdit> <QMenu>
    <QPushButton> <QString> <QStringList> <QTabWidget> <QTimer> <QToolButton> <QWidget>)
