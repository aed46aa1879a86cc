/* EDFlib opens its files with fopen, which on Windows reads the path in the
 * ANSI code page; VEXA's paths are UTF-8, and a folder such as
 * "Documents\VEXA\опыт" is not in every code page. scripts/cross-deps.sh
 * points EDFlib's fopen at this function in the Windows build. */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static wchar_t *wide_from_utf8(const char *text) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, NULL, 0);
  if (n <= 0) return NULL;
  wchar_t *wide = malloc(sizeof(wchar_t) * (size_t)n);
  if (wide != NULL && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, n) != n) {
    free(wide);
    wide = NULL;
  }
  return wide;
}

FILE *vexa_edflib_fopen_utf8(const char *path, const char *mode) {
  wchar_t *wide_path = wide_from_utf8(path), *wide_mode = wide_from_utf8(mode);
  FILE *file = NULL;
  if (wide_path != NULL && wide_mode != NULL) {
    file = _wfopen(wide_path, wide_mode);
  } else {
    errno = EINVAL; /* not UTF-8 */
  }
  free(wide_path);
  free(wide_mode);
  return file;
}
