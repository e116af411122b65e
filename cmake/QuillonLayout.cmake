# Which library a file belongs to is decided by its name alone: *_widget, *_dialog, *_window
# and qt_* files are Qt; everything else is toolkit-free core. A test carries the name of
# what it tests (code_memo_widget_test.cpp tests code_memo_widget.cpp).
set(QUILLON_QT_NAME_REGEX "(_widget|_dialog|_window)(_test)?\\.(h|cpp)$|/qt_[^/]*$")

# Sorts `files` into the lists named by `core_var` and `qt_var` in the caller's scope.
function(quillon_split_by_toolkit files core_var qt_var)
  set(core)
  set(qt)
  foreach(f ${files})
    if(f MATCHES "${QUILLON_QT_NAME_REGEX}")
      list(APPEND qt ${f})
    else()
      list(APPEND core ${f})
    endif()
  endforeach()
  set(${core_var} ${core} PARENT_SCOPE)
  set(${qt_var} ${qt} PARENT_SCOPE)
endfunction()

# The layers of src/: the folders each folder's files may include besides their own. An include
# points down, and across a row only where this table says so (sessions in settings use the
# pages' recent lists; the language features may read a project's modules). layout_check fails
# on any other include, naming the file, the line and the edge.
set(QUILLON_LAYER_platform "")
set(QUILLON_LAYER_editor platform)
set(QUILLON_LAYER_pages editor platform)
set(QUILLON_LAYER_settings pages editor platform)
set(QUILLON_LAYER_build settings pages editor platform)
set(QUILLON_LAYER_tools settings pages editor platform)
set(QUILLON_LAYER_language build settings pages editor platform)
set(QUILLON_LAYER_lsp language build tools settings pages editor platform)
set(QUILLON_LAYER_app lsp language build tools settings pages editor platform)
