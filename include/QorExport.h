/** @file
    Export macro of QorCommonLib. The library is built with hidden symbol
    visibility; only names marked QOR_API leave the shared library. */
#ifndef QOR_QOREXPORT_H
#define QOR_QOREXPORT_H

#if defined(_WIN32)
#  if defined(QOR_BUILDING_LIBRARY)
#    define QOR_API __declspec(dllexport)
#  elif defined(QOR_STATIC)
#    define QOR_API
#  else
#    define QOR_API __declspec(dllimport)
#  endif
#else
/** Marks a name that the shared library exports (dllexport / dllimport on
    Windows, default visibility elsewhere; nothing with QOR_STATIC). */
#  define QOR_API __attribute__((visibility("default")))
#endif

#endif
