# The Win32 API, with resource scripts for the version record, the icon and
# the manifest.
if(NOT WIN32)
    message(FATAL_ERROR "The win32 layer builds only for Windows")
endif()
enable_language(RC)
