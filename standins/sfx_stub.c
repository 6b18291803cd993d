/* Self-extracting stub: unpacks the archive appended to its own file into the
 * current folder, overwriting, and removes its own file. No window.
 *
 * Order of work, and why:
 *  1. Rename the own file to a hidden temporary name in the same folder at
 *     once. A running program cannot delete its own file, but it can rename
 *     it; so the original name ("vsn.exe") is free again before this process
 *     ends, and a caller that writes "vsn.exe" anew right afterwards never
 *     loses the new file to our delayed delete.
 *  2. Read the whole file and check the archive completely (footer, CRC,
 *     every path) before writing anything: a corrupt or hostile archive
 *     leaves the folder untouched.
 *  3. Extract; a file that cannot be written (read-only, in use) ends the
 *     run with a non-zero exit code.
 *  4. Leave a hidden cmd.exe behind that deletes the renamed file once this
 *     process is gone (ping as a ~2 s sleep, measured under Wine).
 * The own file disappears in every outcome, also after a failure: a stale
 * pack is of no use to anyone and would only be written over later.
 */
#include <windows.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "sfx_format.h"

static uint32_t crc_table[256];

static void crc_init(void) {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    crc_table[i] = c;
  }
}

static uint32_t crc32_of(const unsigned char *p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = crc_table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

static uint32_t rd32(const unsigned char *p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static uint16_t rd16(const unsigned char *p) { return (uint16_t)(p[0] | p[1] << 8); }

typedef struct {
  wchar_t *path; /* relative, backslashes */
  const unsigned char *data;
  uint32_t size;
  int is_exit_code; /* the exit-code marker: read, never written */
} Entry;

/* The marker's exit code, or -1 when its bytes are not a number from 0 to 255. */
static int marker_exit_code(const Entry *e) {
  if (e->size == 0 || e->size > 3) return -1;
  int code = 0;
  for (uint32_t i = 0; i < e->size; ++i) {
    if (e->data[i] < '0' || e->data[i] > '9') return -1;
    code = code * 10 + (e->data[i] - '0');
  }
  return code <= 255 ? code : -1;
}

/* Walks the entries of the archive at buf[off...] without trusting any
 * count or length. On success stores the archive's length. */
static int walk_entries(const unsigned char *buf, size_t size, size_t off, uint32_t *count_out,
                        size_t *len_out) {
  if (off > size || size - off < SFX_MAGIC_LEN + 4) return 0;
  if (memcmp(buf + off, SFX_ARCHIVE_MAGIC, SFX_MAGIC_LEN) != 0) return 0;
  uint32_t count = rd32(buf + off + SFX_MAGIC_LEN);
  size_t pos = off + SFX_MAGIC_LEN + 4;
  for (uint32_t i = 0; i < count; ++i) {
    if (size - pos < 2) return 0;
    size_t plen = rd16(buf + pos);
    pos += 2;
    if (size - pos < plen) return 0;
    pos += plen;
    if (size - pos < 4) return 0;
    size_t flen = rd32(buf + pos);
    pos += 4;
    if (size - pos < flen) return 0;
    pos += flen;
  }
  *count_out = count;
  *len_out = pos - off;
  return 1;
}

static int footer_ok(const unsigned char *buf, size_t size, size_t foot, size_t *off_out,
                     size_t *len_out) {
  if (foot > size || size - foot < SFX_FOOTER_LEN) return 0;
  const unsigned char *f = buf + foot;
  if (memcmp(f, SFX_FOOTER_MAGIC, SFX_MAGIC_LEN) != 0) return 0;
  size_t off = rd32(f + 8), len = rd32(f + 12);
  if (off > foot || foot - off != len) return 0;
  if (crc32_of(buf + off, len) != rd32(f + 16)) return 0;
  *off_out = off;
  *len_out = len;
  return 1;
}

/* End of the raw data of the PE sections: where the packer appended. */
static size_t pe_image_end(const unsigned char *buf, size_t size) {
  if (size < 0x40 || buf[0] != 'M' || buf[1] != 'Z') return 0;
  size_t pe = rd32(buf + 0x3C);
  if (pe > size || size - pe < 24 || memcmp(buf + pe, "PE\0\0", 4) != 0) return 0;
  size_t nsec = rd16(buf + pe + 6), optsize = rd16(buf + pe + 20);
  size_t sec = pe + 24 + optsize, end = 0;
  for (size_t i = 0; i < nsec; ++i, sec += 40) {
    if (sec > size || size - sec < 40) return 0;
    size_t raw_size = rd32(buf + sec + 16), raw_ptr = rd32(buf + sec + 20);
    if (raw_size && raw_ptr + raw_size > end) end = raw_ptr + raw_size;
  }
  return end;
}

/* Finds and checks the archive. Returns its offset and length. */
static int locate_archive(const unsigned char *buf, size_t size, size_t *off, size_t *len) {
  if (size >= SFX_FOOTER_LEN && footer_ok(buf, size, size - SFX_FOOTER_LEN, off, len)) return 1;
  size_t start = pe_image_end(buf, size);
  uint32_t count;
  size_t walked;
  if (start && walk_entries(buf, size, start, &count, &walked) &&
      footer_ok(buf, size, start + walked, off, len) && *off == start)
    return 1;
  return 0;
}

static int is_reserved_name(const wchar_t *c, size_t n) {
  static const wchar_t *const names[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  size_t base = 0;
  while (base < n && c[base] != L'.') ++base; /* "nul.txt" is the device too */
  for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
    if (wcslen(names[i]) == base && _wcsnicmp(c, names[i], base) == 0) return 1;
  if (base == 4 && (_wcsnicmp(c, L"COM", 3) == 0 || _wcsnicmp(c, L"LPT", 3) == 0) &&
      c[3] >= L'0' && c[3] <= L'9')
    return 1;
  return 0;
}

/* A path may only name a file inside the current folder: relative, no
 * empty, "." or ".." component, no drive or stream colon, no device name.
 * Components ending in a dot or blank are refused too, since Windows drops
 * those characters and ". ." or "..." could then step out of the folder. */
static int path_is_safe(const wchar_t *p) {
  size_t n = wcslen(p);
  if (n == 0 || n > SFX_MAX_PATH_CHARS) return 0;
  size_t start = 0;
  for (size_t i = 0; i <= n; ++i) {
    if (i < n && p[i] != L'\\') {
      wchar_t ch = p[i];
      if (ch < 0x20 || wcschr(L"<>:\"/|?*", ch)) return 0;
      continue;
    }
    size_t len = i - start;
    if (len == 0) return 0;
    wchar_t last = p[i - 1];
    if (last == L'.' || last == L' ') return 0;
    if (is_reserved_name(p + start, len)) return 0;
    start = i + 1;
  }
  return 1;
}

static wchar_t *utf8_to_wide(const unsigned char *s, int n) {
  if (n == 0) return NULL;
  int wn = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, (const char *)s, n, NULL, 0);
  if (wn <= 0) return NULL;
  wchar_t *w = calloc((size_t)wn + 1, sizeof(wchar_t));
  if (!w) return NULL;
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, (const char *)s, n, w, wn);
  return w;
}

/* Parses and checks every entry. Returns an exit code; the marker's code, when there is
 * one, goes to *marker_code. */
static int read_entries(const unsigned char *buf, size_t off, size_t len, Entry **out,
                        uint32_t *count_out, int *marker_code) {
  uint32_t count;
  size_t walked;
  if (!walk_entries(buf, off + len, off, &count, &walked) || walked != len) return SFX_ERR_CORRUPT;
  Entry *es = calloc(count ? count : 1, sizeof(Entry));
  if (!es) return SFX_ERR_CORRUPT;
  size_t pos = off + SFX_MAGIC_LEN + 4;
  int rc = SFX_OK;
  for (uint32_t i = 0; i < count; ++i) {
    size_t plen = rd16(buf + pos);
    pos += 2;
    es[i].path = utf8_to_wide(buf + pos, (int)plen);
    pos += plen;
    es[i].size = rd32(buf + pos);
    pos += 4;
    es[i].data = buf + pos;
    pos += es[i].size;
    if (!es[i].path || !path_is_safe(es[i].path)) {
      rc = SFX_ERR_PATH;
    } else if (wcscmp(es[i].path, L"" SFX_EXIT_CODE_ENTRY) == 0) {
      es[i].is_exit_code = 1;
      *marker_code = marker_exit_code(&es[i]);
      if (*marker_code < 0 && rc == SFX_OK) rc = SFX_ERR_CORRUPT;
    }
  }
  *out = es;
  *count_out = count;
  return rc;
}

/* The folder the previous entry was written to, every component of it known to exist.
 * The packer keeps a folder's files together, so most entries share it whole and need
 * no look-up at all; the others look up only the components past the shared part. The
 * work is then linear in the size of the archive's paths, however many files it holds. */
static wchar_t made_folder[SFX_MAX_PATH_CHARS + 1];
static size_t made_len;

static int make_parent_folders(const wchar_t *path) {
  const wchar_t *slash = wcsrchr(path, L'\\');
  size_t parent = slash ? (size_t)(slash - path) : 0;
  if (parent == 0) return 1;
  /* The longest leading run of whole components that path shares with the folder made last. */
  size_t known = 0;
  for (size_t i = 0; i <= parent && i <= made_len; ++i) {
    int ends_here = (i == parent || path[i] == L'\\') && (i == made_len || made_folder[i] == L'\\');
    if (ends_here) known = i;
    if (i == parent || i == made_len || path[i] != made_folder[i]) break;
  }
  wchar_t buf[SFX_MAX_PATH_CHARS + 1];
  wmemcpy(buf, path, parent);
  buf[parent] = 0;
  for (size_t i = known ? known + 1 : 0; i <= parent; ++i) {
    if (i < parent && buf[i] != L'\\') continue;
    buf[i] = 0;
    DWORD attr = GetFileAttributesW(buf);
    if (attr == INVALID_FILE_ATTRIBUTES) {
      if (!CreateDirectoryW(buf, NULL) && GetLastError() != ERROR_ALREADY_EXISTS) return 0;
    } else if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
      return 0;
    }
    if (i < parent) buf[i] = L'\\';
  }
  wmemcpy(made_folder, path, parent);
  made_folder[parent] = 0;
  made_len = parent;
  return 1;
}

static int write_file(const Entry *e) {
  if (!make_parent_folders(e->path)) return 0;
  /* Windows refuses to open a read-only file for writing; Wine run as root
   * does not (the file's missing write bits do not stop root), so ask. */
  DWORD attr = GetFileAttributesW(e->path);
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return 0;
  /* OPEN_ALWAYS rather than CREATE_ALWAYS: the latter refuses an existing
   * hidden file; a read-only file is refused by both, as it should be. */
  HANDLE h = CreateFileW(e->path, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int ok = 1;
  uint32_t done = 0;
  while (ok && done < e->size) {
    DWORD chunk = e->size - done > (1u << 20) ? (1u << 20) : e->size - done, wrote = 0;
    ok = WriteFile(h, e->data + done, chunk, &wrote, NULL) && wrote == chunk;
    done += wrote;
  }
  ok = ok && SetEndOfFile(h);
  ok = CloseHandle(h) && ok;
  return ok;
}

static unsigned char *read_whole_file(const wchar_t *path, size_t *size_out) {
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return NULL;
  LARGE_INTEGER sz;
  unsigned char *buf = NULL;
  if (GetFileSizeEx(h, &sz) && sz.QuadPart > 0 && sz.QuadPart < 0x7FFFFFFF) {
    size_t n = (size_t)sz.QuadPart, done = 0;
    buf = malloc(n);
    while (buf && done < n) {
      DWORD got = 0;
      if (!ReadFile(h, buf + done, (DWORD)(n - done), &got, NULL) || got == 0) {
        free(buf);
        buf = NULL;
        break;
      }
      done += got;
    }
    *size_out = n;
  }
  CloseHandle(h);
  return buf;
}

/* Starts a hidden cmd.exe that deletes path about two seconds from now,
 * when this process has ended. The helper runs in the file's folder and is
 * given the bare name, so that no character of the folder's path ("%", "^",
 * "&") reaches cmd's parser. */
static void delete_later(const wchar_t *path) {
  wchar_t sys[MAX_PATH], dir[MAX_PATH * 2], cmd[MAX_PATH * 2];
  UINT n = GetSystemDirectoryW(sys, MAX_PATH);
  const wchar_t *slash = wcsrchr(path, L'\\');
  if (n == 0 || n >= MAX_PATH || !slash || (size_t)(slash - path) + 2 > MAX_PATH * 2) return;
  wmemcpy(dir, path, (size_t)(slash - path) + 1);
  dir[slash - path + 1] = 0;
  /* /a: del skips hidden files unless told otherwise. */
  _snwprintf(cmd, sizeof cmd / sizeof cmd[0],
             L"\"%ls\\cmd.exe\" /c ping -n 3 127.0.0.1 >nul & del /f /q /a \"%ls\"", sys, slash + 1);
  cmd[sizeof cmd / sizeof cmd[0] - 1] = 0;
  STARTUPINFOW si;
  PROCESS_INFORMATION pi;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  if (CreateProcessW(NULL, cmd, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, dir, &si, &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

/* Removes what earlier runs that were killed before their helper ran left
 * behind. A file still in use by a running stub cannot be deleted and stays. */
static void remove_stale_copies(const wchar_t *self) {
  const wchar_t *slash = wcsrchr(self, L'\\');
  size_t dir_len = slash ? (size_t)(slash - self) + 1 : 0;
  wchar_t pattern[MAX_PATH * 2 + 16], victim[MAX_PATH * 2 + 64];
  if (dir_len + 16 >= MAX_PATH * 2) return;
  wmemcpy(pattern, self, dir_len);
  wcscpy(pattern + dir_len, L".~sfx*.tmp");
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(pattern, &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || wcslen(fd.cFileName) > 60) continue;
    wmemcpy(victim, self, dir_len);
    wcscpy(victim + dir_len, fd.cFileName);
    SetFileAttributesW(victim, FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(victim)) SetFileAttributesW(victim, FILE_ATTRIBUTE_HIDDEN);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

/* Renames the own file to a hidden, unique name beside it. Returns the
 * name the file now has (the old one when the rename failed). */
static void move_self_aside(const wchar_t *self, wchar_t *now, size_t cap) {
  wcsncpy(now, self, cap - 1);
  now[cap - 1] = 0;
  const wchar_t *slash = wcsrchr(self, L'\\');
  size_t dir_len = slash ? (size_t)(slash - self) + 1 : 0;
  wchar_t tmp[MAX_PATH * 2];
  if (dir_len + 40 >= sizeof tmp / sizeof tmp[0]) return;
  wmemcpy(tmp, self, dir_len);
  _snwprintf(tmp + dir_len, 40, L".~sfx%08lx%08lx.tmp", (unsigned long)GetCurrentProcessId(),
             (unsigned long)GetTickCount());
  tmp[dir_len + 39] = 0;
  if (MoveFileExW(self, tmp, 0)) {
    SetFileAttributesW(tmp, FILE_ATTRIBUTE_HIDDEN);
    wcsncpy(now, tmp, cap - 1);
  }
}

static int run(void) {
  crc_init();
  wchar_t self[MAX_PATH * 2], now[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(NULL, self, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return SFX_ERR_SELF;
  remove_stale_copies(self);
  move_self_aside(self, now, MAX_PATH * 2);

  size_t size = 0;
  unsigned char *buf = read_whole_file(now, &size);
  int rc = SFX_ERR_SELF;
  if (buf) {
    size_t off, len;
    Entry *es = NULL;
    uint32_t count = 0;
    if (!locate_archive(buf, size, &off, &len)) {
      rc = SFX_ERR_CORRUPT;
    } else {
      int marker_code = SFX_OK;
      rc = read_entries(buf, off, len, &es, &count, &marker_code);
      for (uint32_t i = 0; rc == SFX_OK && i < count; ++i)
        if (!es[i].is_exit_code && !write_file(&es[i])) rc = SFX_ERR_WRITE;
      if (rc == SFX_OK) rc = marker_code;
    }
    for (uint32_t i = 0; es && i < count; ++i) free(es[i].path);
    free(es);
    free(buf);
  }
  delete_later(now);
  return rc;
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE prev, PWSTR cmdline, int show) {
  (void)inst;
  (void)prev;
  (void)cmdline;
  (void)show;
  return run();
}
