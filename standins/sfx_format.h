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

/* Exit codes of the stub. */
enum {
  SFX_OK = 0,
  SFX_ERR_SELF = 1,    /* own file not found or unreadable */
  SFX_ERR_CORRUPT = 2, /* no archive, bad footer, truncated, CRC mismatch */
  SFX_ERR_PATH = 3,    /* a path that would leave the folder or cannot be a file name */
  SFX_ERR_WRITE = 4    /* a folder or file could not be written (e.g. read-only target) */
};

#endif
