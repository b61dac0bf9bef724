/* The Windows scalar types used in the library's signatures.
   On Windows they are the real <windows.h> types; elsewhere the library
   defines them with the widths they have on 32-bit and 64-bit Windows.
   This header compiles as C99 as well as C++. */
#ifndef QOR_WIN_TYPES_H
#define QOR_WIN_TYPES_H

#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <windows.h>
#else
#include <stdint.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD; /* never unsigned long: that is 64-bit here */
typedef uint32_t REGSAM;
typedef int32_t LONG;
typedef int BOOL;

/* Opaque handle types, distinct from each other as on Windows. */
struct HKEY__;
struct HWND__;
struct HICON__;
typedef struct HKEY__* HKEY;
typedef struct HWND__* HWND;
typedef struct HICON__* HICON;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

/* Predefined roots carry the Windows values, sign-extended as Windows
   does on 64-bit targets. */
#define HKEY_CURRENT_USER ((HKEY)(intptr_t)(int32_t)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(intptr_t)(int32_t)0x80000002)

#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u
#define KEY_ALL_ACCESS 0xF003Fu

#define ERROR_SUCCESS 0L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_INVALID_DATA 13L

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#endif /* _WIN32 */

#endif
