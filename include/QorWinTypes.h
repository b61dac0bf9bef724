/** @file
    The Windows scalar types used in the library's signatures.
    On Windows they are the real <windows.h> types; elsewhere the library
    defines them with the widths they have on 32-bit and 64-bit Windows.
    This header compiles as C99 as well as C++. */
#ifndef QOR_QORWINTYPES_H
#define QOR_QORWINTYPES_H

#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <windows.h>
#else
#  include <stdint.h>

/** An 8-bit unsigned byte. */
typedef uint8_t BYTE;
/** A 16-bit unsigned integer. */
typedef uint16_t WORD;
/** A 32-bit unsigned integer (never unsigned long: that is 64-bit here). */
typedef uint32_t DWORD; /* never unsigned long: that is 64-bit here */
/** An access mask; only its KEY_WRITE bits are read. */
typedef uint32_t REGSAM;
/** A 32-bit signed integer: the result type of the registry-shaped calls. */
typedef int32_t LONG;
/** A flag: TRUE (1) or FALSE (0). */
typedef int BOOL;

/* Opaque handle types, distinct from each other as on Windows. */
struct HKEY__;
struct HWND__;
struct HICON__;
/** A key handle: a predefined root, or the address of a CRegExt or of key path text. */
typedef struct HKEY__* HKEY;
/** A window handle. */
typedef struct HWND__* HWND;
/** An icon handle. */
typedef struct HICON__* HICON;

/** A time stamp in two halves; the library never reads or writes one. */
typedef struct _FILETIME {
    /** Low 32 bits. */
    DWORD dwLowDateTime;
    /** High 32 bits. */
    DWORD dwHighDateTime;
} FILETIME;

/* Predefined roots carry the Windows values, sign-extended as Windows
   does on 64-bit targets. */
/** The root of the user's keys; key path texts begin HKEY_CURRENT_USER\\. */
#  define HKEY_CURRENT_USER ((HKEY)(intptr_t)(int32_t)0x80000001)
/** The root of the machine's keys; key path texts begin HKEY_LOCAL_MACHINE\\. */
#  define HKEY_LOCAL_MACHINE ((HKEY)(intptr_t)(int32_t)0x80000002)

/** Read access: opens read-only, but CreateKey makes a writable handle with it. */
#  define KEY_READ 0x20019u
/** Write access: the only bits an access mask is tested for. */
#  define KEY_WRITE 0x20006u
/** Full access; holds every bit of KEY_WRITE. */
#  define KEY_ALL_ACCESS 0xF003Fu

/** Result of a registry-shaped call that succeeded. */
#  define ERROR_SUCCESS 0L
/** Result of a registry-shaped call: no such key (or no store). */
#  define ERROR_PATH_NOT_FOUND 3L
/** Result of a sub-key query on a key that has no key below it. */
#  define ERROR_INVALID_DATA 13L

#  ifndef TRUE
/** The true value of BOOL. */
#    define TRUE 1
#  endif
#  ifndef FALSE
/** The false value of BOOL. */
#    define FALSE 0
#  endif

#endif /* _WIN32 */

#endif
