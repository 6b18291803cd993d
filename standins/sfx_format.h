/* Layout of the archive that pack.py appends to sfx_stub.exe.
 *
 *   [stub PE image][archive][footer]
 *
 * archive, at offset O (normally the end of the stub's PE image):
 *   8 bytes  magic "TVSFXARC"
 *   u32      number of entries N
 *   N times:
 *     u16    length P of the path in bytes
 *     P      path, UTF-8, relative, components separated by backslashes
 *     u32    size S of the file in bytes
 *     S      the file's bytes
 * footer, 20 bytes:
 *   8 bytes  magic "TVSFXEND"
 *   u32      O, the archive's offset in the file
 *   u32      L, the archive's length in bytes (footer excluded)
 *   u32      CRC-32 (zlib polynomial) of the L archive bytes
 * All integers little-endian. The footer is normally the last 20 bytes of
 * the file; when it is not (a longer file was written over from its first
 * byte and kept its tail) the stub finds the archive at the end of its PE
 * image and the footer right after the archive's entries.
 */
#ifndef TOVREN_SFX_FORMAT_H
#define TOVREN_SFX_FORMAT_H

#define SFX_ARCHIVE_MAGIC "TVSFXARC"
#define SFX_FOOTER_MAGIC "TVSFXEND"
#define SFX_MAGIC_LEN 8
#define SFX_FOOTER_LEN 20
#define SFX_MAX_PATH_CHARS 240

/* An entry of this name is no file: it holds, as decimal digits, the exit code the stub
 * ends with once it has extracted every other entry (0 to 255). pack.py --exit-code
 * writes it, so that tests can have a pack report warnings (1) or a failure (2 and above)
 * the way real self-extracting archives do. A marker that is not such a number makes the
 * archive corrupt. */
#define SFX_EXIT_CODE_ENTRY ".sfx-exit-code"

/* Exit codes of the stub, as self-extracting archives report them: 0 done, 1 done with
 * warnings only, 2 and above failed. */
enum {
  SFX_OK = 0,
  SFX_WARNINGS = 1,    /* only ever from the exit-code marker */
  SFX_ERR_CORRUPT = 2, /* no archive, bad footer, truncated, CRC mismatch, bad marker */
  SFX_ERR_PATH = 3,    /* a path that would leave the folder or cannot be a file name */
  SFX_ERR_WRITE = 4,   /* a folder or file could not be written (e.g. read-only target) */
  SFX_ERR_SELF = 5     /* own file not found or unreadable */
};

#endif
